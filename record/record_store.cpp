// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tavola.h"

namespace zanfiro {

std::string Tavola::GetSystemDir() { return {}; }
std::string Tavola::Leggifiletxt(const std::string&) { return {}; }
void Tavola::readRecords() { }

} // namespace zanfiro
