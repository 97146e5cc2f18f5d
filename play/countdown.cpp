// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tavola.h"

namespace zanfiro {

void Tavola::StartClock() { }
void Tavola::Timer1_Timer() { }
std::string Tavola::clockText() const { return "00.00.00"; }

} // namespace zanfiro
