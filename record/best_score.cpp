// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/best_score.h"

#include <charconv>
#include <limits>
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

    // from_chars takes no "+" sign; the sign is put back at the end.
    double value = 0.0;
    const char* first = packed.data() + digitsFrom;
    const auto [ptr, error] = std::from_chars(first, packed.data() + end, value, std::chars_format::fixed);
    if (error == std::errc::result_out_of_range) {
        // Without an exponent, only a huge whole part overflows; a tiny fraction underflows.
        value = wholeIsZero ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (error != std::errc{} || ptr == first) {
        value = 0.0;
    }
    return negative ? -value : value;
}

} // namespace zanfiro
