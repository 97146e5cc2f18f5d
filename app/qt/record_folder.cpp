// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/record_folder.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include "app/runtime_error.h"
#include "record/settings_file.h"

namespace zanfiro::recordfiles {

namespace {

const char* const organisation = "zanfiro";
const char* const application = "zanfiro";
const char* const logKey = "record/log";

// The folder exactly as the administrator wrote it: the settings format would take every
// backslash of a Windows path for an escape.
QString folderAsWritten(const QString& settingsPath)
{
    QFile file(settingsPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const std::string bytes = file.read(64 * 1024).toStdString();
    return QString::fromStdString(iniValue(bytes, "record", "folder").value_or(std::string()));
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
    read.gameLog = settings.value(QLatin1String(logKey), true).toBool();
    if (!launchFolder.isEmpty()) {
        read.folder = launchFolder;
        return read;
    }
    read.folder = folderAsWritten(settingsPath);
    // Relative to what? The launch's folder differs from one icon to the next, and no shell
    // expands "~" here: the setting is wrong, and says so.
    if (!read.folder.isEmpty() && !disk::isAbsoluteFolder(read.folder.toStdString()))
        read.folderError = read.folder + QStringLiteral(" (record/folder in ") + settingsPath + QLatin1Char(')');
    return read;
}

std::string recordDir(const QString& setFolder)
{
    if (setFolder.isEmpty())
        return disk::makeUserFolder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString());
    // A folder someone set is used as it is: made here, it would hide a share that is not mounted.
    const std::string folder = QDir(setFolder).absolutePath().toStdString();
    try {
        disk::checkSetFolder(folder);
    } catch (const RuntimeError& error) {
        throw RuntimeError(error.number(), setFolder.toStdString()); // as the administrator wrote it
    }
    return folder.back() == '/' || folder.back() == '\\' ? folder : folder + "/";
}

std::string recordDir(const RecordSettings& settings)
{
    if (!settings.folderError.isEmpty())
        throw RuntimeError(ErrorNumber::PathNotFound, settings.folderError.toStdString());
    return recordDir(settings.folder);
}

} // namespace zanfiro::recordfiles
