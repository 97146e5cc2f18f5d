// SPDX-License-Identifier: GPL-3.0-or-later
// Where the record files live: the machine's settings file, the launch's option, the per-user
// folder. The files themselves and the folder's lock are in record/disk.h and record/folder_lock.h.
#pragma once

#include <QString>

#include <string>

#include "record/disk.h"

namespace zanfiro::recordfiles {

// What the machine's administrator set, then what this launch asked for.
struct RecordSettings {
    QString folder; // empty: the per-user folder
    bool gameLog = true;
    // A folder setting that cannot name a folder (relative, "~"): shown, with where it was written,
    // when the game looks for the record.
    QString folderError = {};
};

// The machine-wide settings file: on Linux zanfiro/zanfiro.ini under the system's XDG config
// folder (/etc/xdg), on Windows the usual machine-wide place.
QString systemSettingsPath();
// Reads the settings file (a missing one sets nothing); a folder given for the launch wins.
RecordSettings readRecordSettings(const QString& settingsPath, const QString& launchFolder);

// The set folder, which must already be there (a class folder on a share that is not mounted is
// an error, never a new local folder); when none is set, the per-user data folder + "zanfiro/",
// made when missing. RuntimeError when it cannot be reached. Ends in a separator.
std::string recordDir(const QString& setFolder = {});
std::string recordDir(const RecordSettings& settings);

// A set folder is a class's: its files are shared by every account that plays there.
inline disk::Sharing sharingOf(const RecordSettings& settings)
{
    return settings.folder.isEmpty() ? disk::Sharing::Private : disk::Sharing::Class;
}

} // namespace zanfiro::recordfiles
