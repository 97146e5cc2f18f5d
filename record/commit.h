// SPDX-License-Identifier: GPL-3.0-or-later
// The two record files change together or not at all. Both new files are staged under names no
// other copy of the game uses and flushed, then a commit marker naming them is flushed, then each
// staged file takes its place, then the marker goes. A game interrupted anywhere leaves the marker
// to say which way the next load must finish: with the marker the staged files it names are
// complete and go in; without it they are dropped.
// Both run under the record folder's lock: no other copy is staging meanwhile, so a staged file
// that no marker names is a leftover of a copy that stopped half way.
#pragma once

#include <string>

#include "app/game_rules.h"
#include "app/host.h"
#include "app/runtime_error.h"

namespace zanfiro {

struct RecordPaths {
    std::string folder;
    std::string score;
    std::string name;
    std::string marker;
};

// The record files in the record directory, which ends in a separator: the paths keep a doubled
// separator there, which the file system reads as one. A game with another divisor or length has
// a pair and a marker of its own.
RecordPaths recordPaths(const std::string& windowsDir, const GameRules& rules = {});

// At load and before a commit: finishes a committed pair, or drops a half-staged one. Throws when
// the folder cannot be checked: a committed record is never taken for absent.
void recoverRecordCommit(Host& host, const RecordPaths& paths);

// Replaces both files with the new bytes. Both places are checked before the commit point, so a
// record file that cannot be replaced leaves the whole old pair and nothing staged. When it
// throws past the commit point, a load afterwards finds the whole new pair.
void commitRecord(Host& host, const RecordPaths& paths, const std::string& scoreBytes,
                  const std::string& nameBytes);

// The same error, naming the record file a teacher would look for instead of a staged file or
// the marker; the lock and the folder are named as they are.
RuntimeError aboutRecordFiles(const RuntimeError& error, const RecordPaths& paths);

} // namespace zanfiro
