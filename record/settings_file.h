// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace zanfiro {

// A value of an ini file, byte for byte as written: a Windows path keeps its backslashes
// (C:\Dati\zanfiro, \\server\classe). Sections and keys are matched ignoring case; spaces around
// the value and one pair of quotes go; a byte order mark, CR LF and comment lines (";" or "#")
// are allowed. Nothing when the key is not there.
std::optional<std::string> iniValue(const std::string& bytes, const std::string& section, const std::string& key);

} // namespace zanfiro
