// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tavola.h"

namespace zanfiro {

void Tavola::Form_Activate() { }
void Tavola::paricmd_Click() { }
void Tavola::paricmd1_Click() { }
void Tavola::paricmd2_Click() { }
void Tavola::disparicmd_Click() { }
void Tavola::disparicmd1_Click() { }
void Tavola::disparicmd2_Click() { }

} // namespace zanfiro
