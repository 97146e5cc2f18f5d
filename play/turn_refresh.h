// SPDX-License-Identifier: GPL-3.0-or-later
// The turn refresh in named steps, so that the start of play can run them with its own pair and
// a sound in between.
#pragma once

#include <cstdint>

#include "app/tavola.h"

namespace zanfiro {

// Empties lblMessage, reseeds from the clock, draws a pair (first 1..9, second 0..9) into
// first and second, and shows it in lblNum1 and lblNum2.
void dealPair(Tavola& tavola, std::int16_t& first, std::int16_t& second);

// Sets the window's drawing properties and paints the 256-band backdrop tinted by the pair.
void paintBackdrop(Tavola& tavola, std::int16_t first, std::int16_t second);

// RGB(first * 20, second * 20, band) as 0x00BBGGRR.
constexpr Colour bandColour(int first, int second, int band)
{
    return static_cast<Colour>(first * 20 + 256 * second * 20 + 65536 * band);
}

} // namespace zanfiro
