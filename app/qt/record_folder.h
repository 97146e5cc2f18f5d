// SPDX-License-Identifier: GPL-3.0-or-later
// Where the record files live, and the lock every copy of the game takes there.
#pragma once

#include <QString>

#include <functional>
#include <string>

namespace zanfiro::recordfiles {

// What the machine's administrator set, then what this launch asked for.
struct RecordSettings {
    QString folder; // empty: the per-user folder
    bool gameLog = true;
};

// The machine-wide settings file: on Linux zanfiro/zanfiro.ini under the system's XDG config
// folder (/etc/xdg), on Windows the usual machine-wide place.
QString systemSettingsPath();
// Reads the settings file (a missing one sets nothing); a folder given for the launch wins.
RecordSettings readRecordSettings(const QString& settingsPath, const QString& launchFolder);

// How long a copy waits for another one's lock before it gives up with the error box, and how
// old a lock must be before it counts as left by a copy that died on another machine (a lock of
// a dead process on this machine goes at once). Nobody holds the lock for more than a commit.
inline constexpr int lockWaitMs = 5000;
inline constexpr int staleLockMs = 30000;
inline constexpr const char* lockFileName = "zanfiro.lock";

// The set folder, which must already be there (a class folder on a share that is not mounted is
// an error, never a new local folder); when none is set, the per-user data folder + "zanfiro/",
// made when missing. RuntimeError when it cannot be reached. Ends in a separator.
std::string recordDir(const QString& setFolder = {});

// Runs the step holding the folder's lock file, waiting at most waitMs for it.
void underLock(const std::string& folder, const std::function<void()>& step, int waitMs = lockWaitMs);

} // namespace zanfiro::recordfiles
