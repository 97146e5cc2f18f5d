// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/turn_refresh.h"

#include <string>

#include "play/deal.h"

namespace zanfiro {

namespace {

void setDrawingProperties(FormModel& form)
{
    form.autoRedraw = true; // the backdrop goes to the persistent image and survives being covered
    form.drawStyle = 6;     // inside solid
    form.drawMode = 13;     // copy pen
    form.drawWidth = 2;
    form.scaleMode = 3; // pixels on both axes...
    form.scaleHeight = 512;
    form.scaleMode = 0; // ...until a height of our own makes the scale user-defined: x pixels, y 512ths
}

} // namespace

void dealPair(Tavola& tavola, std::int16_t& first, std::int16_t& second)
{
    tavola.ctl(Ctl::lblMessage).caption.clear();
    tavola.rnd().reseedFromTimer(tavola.host().systemTimer());
    do
        first = toInt16(wholeDraw(tavola.rnd(), 10));
    while (first == 0);
    second = toInt16(wholeDraw(tavola.rnd(), 10));
    tavola.ctl(Ctl::lblNum1).caption = std::to_string(first);
    tavola.ctl(Ctl::lblNum2).caption = std::to_string(second);
}

void paintBackdrop(Tavola& tavola, std::int16_t first, std::int16_t second)
{
    FormModel& form = tavola.formModel();
    setDrawingProperties(form);
    // Band i is the rectangle (0, 2i)-(Width, 2i + 2). Width is the window's outer width in twips
    // read as pixels, far past the right edge, so every band is a full-width strip and its colour
    // is all the image needs to keep.
    for (std::size_t band = 0; band < bandCount; ++band)
        form.bands[band] = bandColour(first, second, static_cast<int>(band));
    form.hasBackdrop = true;
}

void Tavola::cmdNext_Click()
{
    ctl(Ctl::paricmd2).backColor = cyan;
    dealPair(*this, m_state.factor1, m_state.factor2);
    paintBackdrop(*this, m_state.factor1, m_state.factor2);
}

} // namespace zanfiro
