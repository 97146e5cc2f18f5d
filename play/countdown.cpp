// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <string>

#include "app/runtime_error.h"
#include "app/tavola.h"

namespace zanfiro {

namespace {

// The "00" pattern: a whole number with at least two digits.
std::string twoDigits(long value)
{
    const std::string digits = std::to_string(value < 0 ? -value : value);
    return (value < 0 ? "-" : "") + (digits.size() < 2 ? "0" + digits : digits);
}

} // namespace

void Tavola::StartClock()
{
    ctl(Ctl::Timer1).enabled = true;
    m_state.clockHours = 0;
    m_state.clockMinutes = toInt16(m_rules.minutes); // the teacher's length: 00:05:00 unless chosen
    m_state.clockSeconds = 0.0F;
}

std::string Tavola::clockText() const
{
    return twoDigits(m_state.clockHours) + ":" + twoDigits(m_state.clockMinutes) + ":"
        + twoDigits(std::lround(m_state.clockSeconds));
}

void Tavola::Timer1_Timer()
{
    // The text the previous tick wrote: 00:00:00 stays up for one whole tick before the end.
    if (ctl(Ctl::lblconto).caption == "00:00:00") {
        // It returns only when a run of the exit flow is already waiting in a box; the clock
        // then stays at zero.
        m_clockRanOut = true;
        cmdExit_Click();
        m_clockRanOut = false;
        return;
    }
    if (m_state.clockSeconds == 0.0F) {
        if (m_state.clockMinutes > 0) {
            m_state.clockMinutes = addInt16(m_state.clockMinutes, -1);
            m_state.clockSeconds = 60.0F;
        } else if (m_state.clockHours > 0) {
            m_state.clockHours = addInt16(m_state.clockHours, -1);
            m_state.clockMinutes = 59;
            m_state.clockSeconds = 60.0F;
        }
    }
    m_state.clockSeconds -= 1.0F;
    ctl(Ctl::lblconto).caption = clockText();
}

} // namespace zanfiro
