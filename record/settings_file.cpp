// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/settings_file.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace zanfiro {

namespace {

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool sameWord(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return std::tolower((unsigned char)x) == std::tolower((unsigned char)y); });
}

} // namespace

std::optional<std::string> iniValue(const std::string& bytes, const std::string& section, const std::string& key)
{
    std::istringstream lines(bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? bytes.substr(3) : bytes);
    std::string current;
    std::optional<std::string> found;
    for (std::string line; std::getline(lines, line);) {
        line = trimmed(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            current = trimmed(line.substr(1, line.size() - 2));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos || !sameWord(current, section) || !sameWord(trimmed(line.substr(0, equals)), key))
            continue;
        std::string value = trimmed(line.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        found = value; // the last one counts, as it does for the settings reader
    }
    return found;
}

} // namespace zanfiro
