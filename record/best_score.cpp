// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/best_score.h"

#include <limits>
#include <locale>
#include <sstream>
#include <string>

namespace zanfiro {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

double scoreValue(std::string_view text)
{
    std::string packed;
    for (const char c : text)
        if (!isBlank(c))
            packed += c;

    std::size_t end = 0;
    const bool negative = end < packed.size() && packed[end] == '-';
    if (end < packed.size() && (packed[end] == '-' || packed[end] == '+'))
        ++end;
    const std::size_t digitsFrom = end;
    bool wholeIsZero = true;
    for (; end < packed.size() && isDigit(packed[end]); ++end)
        wholeIsZero = wholeIsZero && packed[end] == '0';
    std::size_t digitCount = end - digitsFrom;
    if (end < packed.size() && packed[end] == '.') {
        const std::size_t point = ++end;
        while (end < packed.size() && isDigit(packed[end]))
            ++end;
        digitCount += end - point;
    }
    if (digitCount == 0)
        return 0.0;

    // The digits alone are read, the sign is put back at the end. A stream with the classic locale
    // reads them the same under every locale and every standard library (MinGW's GCC 11 has no
    // from_chars for double); past the range of a double it gives the largest and fails.
    std::istringstream digits(packed.substr(digitsFrom, end - digitsFrom));
    digits.imbue(std::locale::classic());
    double value = 0.0;
    if (!(digits >> value)) {
        // Without an exponent, only a huge whole part overflows; a tiny fraction underflows.
        value = wholeIsZero ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

} // namespace zanfiro
