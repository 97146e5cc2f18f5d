// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/text_encoding.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zanfiro {

namespace {

// Bytes 0x80..0x9F, where Windows-1252 differs from Latin-1.
constexpr std::array<char32_t, 32> highBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char unmappable = '?';

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        // Nothing in the code page lies beyond the basic plane.
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The code point that starts at `at`, advancing `at` past it; nullopt (after one byte) when the
// bytes there are not well-formed UTF-8: overlong forms, surrogates and values past U+10FFFF.
std::optional<char32_t> nextCodePoint(std::string_view text, std::size_t& at)
{
    const auto lead = static_cast<std::uint8_t>(text[at++]);
    if (lead < 0x80)
        return lead;
    int length = 0;
    char32_t cp = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    std::size_t next = at;
    for (int i = 1; i < length; ++i, ++next) {
        if (next >= text.size())
            return std::nullopt;
        const auto byte = static_cast<std::uint8_t>(text[next]);
        if ((byte & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (byte & 0x3F);
    }
    if (cp < smallest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
    at = next;
    return cp;
}

char windows1252Byte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    for (std::size_t i = 0; i < highBlock.size(); ++i)
        if (highBlock[i] == cp)
            return static_cast<char>(0x80 + i);
    return unmappable;
}

} // namespace

std::string decodeWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        appendUtf8(out, byte >= 0x80 && byte < 0xA0 ? highBlock[byte - 0x80] : char32_t{byte});
    }
    return out;
}

std::string encodeWindows1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const std::optional<char32_t> cp = nextCodePoint(utf8, at);
        out += cp ? windows1252Byte(*cp) : unmappable;
    }
    return out;
}

} // namespace zanfiro
