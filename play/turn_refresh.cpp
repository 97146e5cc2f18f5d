// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tavola.h"

namespace zanfiro {

void Tavola::cmdNext_Click()
{
    ctl(Ctl::paricmd2).backColor = cyan;
}

} // namespace zanfiro
