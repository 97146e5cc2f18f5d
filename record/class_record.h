// SPDX-License-Identifier: GPL-3.0-or-later
// The class record as the teacher's window sees it, and its reset. Both go through the same
// lock and commit as the game, so neither ever meets half of a pair.
#pragma once

#include <string>

#include "app/host.h"
#include "record/commit.h"

namespace zanfiro {

struct ClassRecord {
    std::string score; // as the pupil's window shows it, without the line end
    std::string name;
    bool any() const { return !score.empty() || !name.empty(); }
};

// Reads the pair under the lock, finishing a commit another copy left half way as the game
// does at start. Without the right to take the lock (a read-only folder) it reads the files as
// they are. Throws RuntimeError when a file cannot be read.
ClassRecord readClassRecord(Host& host, const RecordPaths& paths);

// Both record files become empty, as before the first record, through one commit under the
// lock; the log keeps every game. Only the record the teacher was asked about goes: when a
// pupil has set another one since, nothing changes and it returns false. Throws RuntimeError
// (the old pair whole) when it cannot.
bool resetClassRecord(Host& host, const RecordPaths& paths, const ClassRecord& named);

} // namespace zanfiro
