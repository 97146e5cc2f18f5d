// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tavola.h"
#include "play/turn_refresh.h"

namespace zanfiro {

void Tavola::Form_Click()
{
    // A pair of its own: factor1 and factor2 keep the last refresh's, and paricmd2 keeps its colour.
    std::int16_t first = 0;
    std::int16_t second = 0;
    dealPair(*this, first, second);
    PlayWave(soundPath("laser.wav"));
    paintBackdrop(*this, first, second);
    ctl(Ctl::Timer2).enabled = true; // already on after the first click; its ticks keep their pace
    Timer2_Timer();
}

} // namespace zanfiro
