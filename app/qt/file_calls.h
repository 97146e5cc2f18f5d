// SPDX-License-Identifier: GPL-3.0-or-later
// What the files of the record folder have in common, inside the host's file operations.
#pragma once

#include <QFile>
#include <QString>

#include <string>

#include "app/qt/platform_error.h"
#include "app/runtime_error.h"

namespace zanfiro::recordfiles::detail {

inline QString qPath(const std::string& path) { return QString::fromUtf8(path.data(), qsizetype(path.size())); }

[[noreturn]] inline void fail(ErrorNumber number, const std::string& path) { throw RuntimeError(number, path); }

// What the platform said, read straight after the call that failed: anything in between (Qt's
// own error handling included) may change it. On Windows the number is GetLastError()'s.
[[noreturn]] inline void failWith(int error, ErrorNumber otherwise, const std::string& path)
{
    fail(lastFileError(error, otherwise), path);
}

void openOrFail(QFile& file, QIODevice::OpenMode mode, const std::string& path);
void refuseIfNotAFile(const std::string& path);
void refuseIfNotReplaceable(const std::string& target);
void syncDirectoryOf(const std::string& path);

} // namespace zanfiro::recordfiles::detail
