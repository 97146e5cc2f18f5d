// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

#include "app/host.h"

namespace zanfiro {

// How much of a record file is shown and weighed. A record is a few bytes; a hand-edited or
// foreign file of any size (100 MB, binary, no line end) shows this much and no more, so it can
// neither stall the load nor flood the label.
inline constexpr std::size_t recordShownBytes = 4096;

// The text of a record file as the game shows it: its first recordShownBytes bytes, read from
// Windows-1252. A directory, FIFO or device in its place is a run-time error, raised before
// anything opens it, so a FIFO cannot block the game.
std::string readRecordText(Host& host, const std::string& path);

// The record folder the host names, ending in a separator; never the file system's root.
std::string recordFolderOf(Host& host);

} // namespace zanfiro
