// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace zanfiro {

// The number a score text begins with, the way the exit flow weighs a record. Spaces, tabs and
// line feeds are dropped everywhere first; then a sign, digits and a decimal point with more
// digits are read up to the first other character (the CR of a stored record). No number gives
// 0; a number past the range of a double gives plus or minus infinity. Whatever the locale, the
// point is the decimal separator.
double scoreValue(std::string_view text);

} // namespace zanfiro
