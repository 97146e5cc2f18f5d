// SPDX-License-Identifier: GPL-3.0-or-later
// The two record files change together or not at all. Both new files are staged and flushed,
// then a commit marker is flushed, then each staged file takes its place, then the marker goes.
// A game interrupted anywhere leaves the marker to say which way the next load must finish:
// with the marker the staged files are complete and go in; without it they are dropped.
#pragma once

#include <string>

#include "app/host.h"

namespace zanfiro {

struct RecordPaths {
    std::string score;
    std::string name;
    std::string stagedScore;
    std::string stagedName;
    std::string marker;
};

// The record files in the record directory, which ends in a separator: the paths keep a doubled
// separator there, which the file system reads as one.
RecordPaths recordPaths(const std::string& windowsDir);

// At load, before the files are read: finishes a committed pair, or drops a half-staged one.
void recoverRecordCommit(Host& host, const RecordPaths& paths);

// Replaces both files with the new bytes. When it throws, a load afterwards finds the whole old
// pair, or the whole new pair when the failure came after the first file had been replaced.
void commitRecord(Host& host, const RecordPaths& paths, const std::string& scoreBytes,
                  const std::string& nameBytes);

} // namespace zanfiro
