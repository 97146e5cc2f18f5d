// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tavola.h"

namespace zanfiro {

void Tavola::Form_Click() { }

} // namespace zanfiro
