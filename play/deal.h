// SPDX-License-Identifier: GPL-3.0-or-later
// Whole numbers drawn from the generator, shared by the refresh, the targets and the shuffle.
#pragma once

#include <cmath>
#include <cstdint>

#include "app/game_rules.h"
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
// The offset is the remainder mod 5: 0 for a good target, 1 to 4 for a decoy. Another divisor d
// deals Int(Rnd * scale' + base) * d + offset', with numbers as large and a decoy's offset never a
// multiple of d.
struct DealFormula {
    double scale = 0;
    double base = 0;
    int offset = 0;
};

inline std::int16_t dealNumber(Rnd& rnd, const DealFormula& formula, int divisor)
{
    const int offset = formula.offset == 0 ? 0 : decoyOffset(formula.offset, divisor);
    return toInt16(wholeDraw(rnd, dealScale(formula.scale, divisor), formula.base) * divisor + offset);
}

} // namespace zanfiro
