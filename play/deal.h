// SPDX-License-Identifier: GPL-3.0-or-later
// Whole numbers drawn from the generator, shared by the refresh, the targets and the shuffle.
#pragma once

#include <cmath>
#include <cstdint>

#include "app/runtime_error.h"
#include "play/rnd.h"

namespace zanfiro {

// Int(Rnd * scale + base) with a fresh draw. The sum is formed in double: in float the largest
// draw, just below 1, times 6 or 10 would round up to 6 or 10 and step out of range.
inline long long wholeDraw(Rnd& rnd, double scale, double base = 0.0)
{
    return static_cast<long long>(std::floor(static_cast<double>(rnd.next()) * scale + base));
}

// A number for a target: Int(Rnd * scale + base) * 5 + offset, kept as the game's 16-bit integer.
// The offset is the remainder mod 5: 0 for a good target, 1 to 4 for a decoy.
struct DealFormula {
    double scale = 0;
    double base = 0;
    int offset = 0;
};

inline std::int16_t dealNumber(Rnd& rnd, const DealFormula& formula)
{
    return toInt16(wholeDraw(rnd, formula.scale, formula.base) * 5 + formula.offset);
}

} // namespace zanfiro
