// SPDX-License-Identifier: GPL-3.0-or-later
// The record folder's lock: one file, zanfiro.lock, that every copy of the game on every machine
// makes exclusively before it reads or replaces the record and removes when done. It names its
// holder (machine, process, when the process began), and the holder touches it every second, so
// the copies waiting can tell a holder at work from one that died or stopped:
// - a holder on this machine whose process is gone: taken over at once;
// - a lock that says nothing (empty, cut short, unreadable) and stays unchanged: after 3 s;
// - a holder on another machine whose lock stays unchanged: after 30 s;
// - a live holder on this machine that stays silent (stopped) 10 s: the waiter gives up, and
//   after 2 minutes without a touch the lock counts as left (a process number used again by a
//   process the system will not describe is not a holder for ever);
// - however busy the folder, nobody waits more than two minutes in all.
// A FIFO, a link or a folder at the lock's place is an error at once, never a wait.
#pragma once

#include <functional>
#include <string>

#include "record/disk.h"

namespace zanfiro {

inline constexpr const char* lockFileName = "zanfiro.lock";

struct LockTimes {
    int emptyStaleMs = 3000;
    int otherMachineStaleMs = 30000;
    int liveSilenceMs = 10000;
    int liveStaleMs = 120000;
    int boundMs = 120000;
    int signAfterMs = 2000; // when the waiting copy says it is waiting
    int touchEveryMs = 1000;
};

struct LockRequest {
    disk::Sharing sharing = disk::Sharing::Private;
    // A step that only reads may run without the lock where nobody can write: on a full disk or a
    // folder this account may only read, no other copy can be replacing the record either.
    bool readOnly = false;
    LockTimes times;
    // Called with true at every turn once the wait has lasted a while, and with false when it ends.
    std::function<void(bool)> waiting;
};

// Runs the step holding the folder's lock. RuntimeError, naming the lock file, when it cannot be
// had; the step never runs then. The lock goes however the step ends.
void underFolderLock(const std::string& folder, const LockRequest& request, const std::function<void()>& step);

} // namespace zanfiro
