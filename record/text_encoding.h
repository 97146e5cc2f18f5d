// SPDX-License-Identifier: GPL-3.0-or-later
// The record files hold Windows-1252 text, so files made on an Italian Windows PC read the same
// here; the game itself works in UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace zanfiro {

// Every byte becomes one character. The five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the control characters of the same number, as Windows reads them,
// so a file read and written again keeps its bytes.
std::string decodeWindows1252(std::string_view bytes);

// Every character becomes one byte; a character the code page lacks (an emoji, a Greek letter)
// and every byte of malformed UTF-8 become one "?".
std::string encodeWindows1252(std::string_view utf8);

} // namespace zanfiro
