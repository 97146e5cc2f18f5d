// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/record_folder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include "app/runtime_error.h"
#include "app/qt/platform_error.h"

namespace zanfiro::recordfiles {

namespace {

const char* const organisation = "zanfiro";
const char* const application = "zanfiro";
const char* const folderKey = "record/folder";
const char* const logKey = "record/log";

[[noreturn]] void fail(ErrorNumber number, const std::string& detail) { throw RuntimeError(number, detail); }

QString withSeparator(const QString& dir) { return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/'); }

// A folder someone set is used as it is: made here, it would hide a share that is not mounted.
std::string setRecordDir(const QString& folder)
{
    const QString dir = QDir::cleanPath(QDir(folder).absolutePath());
#ifdef Q_OS_WIN
    if (!QFileInfo(dir).isDir())
        fail(ErrorNumber::PathNotFound, dir.toStdString());
#else
    struct stat info {};
    if (::stat(QFile::encodeName(dir).constData(), &info) != 0)
        fail(lastFileError(errno, ErrorNumber::PathNotFound), dir.toStdString());
    if (!S_ISDIR(info.st_mode))
        fail(ErrorNumber::PathNotFound, dir.toStdString());
#endif
    return withSeparator(dir).toStdString();
}

std::string userRecordDir()
{
#ifndef Q_OS_WIN
    // With neither, the data folder would be the file system's root.
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if ((dataHome.isEmpty() || QDir::isRelativePath(dataHome)) && qEnvironmentVariableIsEmpty("HOME"))
        fail(ErrorNumber::PathNotFound, "record folder: HOME");
#endif
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        fail(ErrorNumber::PathNotFound, "record folder");
    const QString dir = base + QStringLiteral("/zanfiro/");
    errno = 0;
    const bool made = QDir().mkpath(dir);
    const int error = errno;
    if (!made || !QFileInfo(dir).isDir())
        fail(lastFileError(error, ErrorNumber::PathNotFound), dir.toStdString());
    return dir.toStdString();
}

} // namespace

QString systemSettingsPath()
{
    return QSettings(QSettings::IniFormat, QSettings::SystemScope, QLatin1String(organisation),
                     QLatin1String(application)).fileName();
}

RecordSettings readRecordSettings(const QString& settingsPath, const QString& launchFolder)
{
    const QSettings settings(settingsPath, QSettings::IniFormat);
    RecordSettings read;
    read.folder = launchFolder.isEmpty() ? settings.value(QLatin1String(folderKey)).toString() : launchFolder;
    read.gameLog = settings.value(QLatin1String(logKey), true).toBool();
    return read;
}

std::string recordDir(const QString& setFolder)
{
    return setFolder.isEmpty() ? userRecordDir() : setRecordDir(setFolder);
}

void underLock(const std::string& folder, const std::function<void()>& step, int waitMs)
{
    const QString path = QString::fromStdString(folder) + QLatin1Char('/') + QLatin1String(lockFileName);
    QLockFile lock(path);
    lock.setStaleLockTime(staleLockMs);
    // Asked again every few milliseconds, not with QLockFile's own back-off (which doubles its
    // sleep up to seconds): a class of copies finishing at once then takes turns as fast as their
    // commits allow, and none starves past the wait.
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        errno = 0;
        if (lock.tryLock(0))
            break;
        const int error = errno;
        if (lock.error() != QLockFile::LockFailedError)
            fail(lock.error() == QLockFile::PermissionError ? ErrorNumber::PermissionDenied
                                                             : lastFileError(error, ErrorNumber::PathFileAccessError),
                 path.toStdString());
        // Another copy keeps it: as when a file is locked by another program.
        if (deadline.hasExpired())
            fail(ErrorNumber::PermissionDenied, path.toStdString());
        QThread::msleep(QRandomGenerator::global()->bounded(2, 12));
    }
    step(); // the lock goes with `lock`, however the step ends
}

} // namespace zanfiro::recordfiles
