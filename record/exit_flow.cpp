// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tavola.h"

namespace zanfiro {

void Tavola::cmdExit_Click()
{
    m_host.endProgram(0);
}

} // namespace zanfiro
