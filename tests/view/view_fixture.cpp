// SPDX-License-Identifier: GPL-3.0-or-later
#include "view_fixture.h"

#include <array>
#include <utility>

namespace zanfiro::test {

std::string handlerName(Tavola::Handler handler)
{
    static const std::array<std::pair<Tavola::Handler, const char*>, 14> names{{
        {&Tavola::Form_Click, "Form_Click"},
        {&Tavola::Form_Resize, "Form_Resize"},
        {&Tavola::Next_Click, "Next_Click"},
        {&Tavola::cmdNext_Click, "cmdNext_Click"},
        {&Tavola::cmdExit_Click, "cmdExit_Click"},
        {&Tavola::paricmd_Click, "paricmd_Click"},
        {&Tavola::paricmd1_Click, "paricmd1_Click"},
        {&Tavola::paricmd2_Click, "paricmd2_Click"},
        {&Tavola::disparicmd_Click, "disparicmd_Click"},
        {&Tavola::disparicmd1_Click, "disparicmd1_Click"},
        {&Tavola::disparicmd2_Click, "disparicmd2_Click"},
        {&Tavola::Timer1_Timer, "Timer1_Timer"},
        {&Tavola::Timer2_Timer, "Timer2_Timer"},
        {&Tavola::Form_Activate, "Form_Activate"},
    }};
    for (const auto& [known, name] : names)
        if (known == handler)
            return name;
    return "another handler";
}

} // namespace zanfiro::test
