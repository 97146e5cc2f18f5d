// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/record_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "app/qt/platform_error.h"
#include "app/runtime_error.h"
#include "record/file_errors.h"

namespace zanfiro::recordfiles {

namespace {

QString qPath(const std::string& path) { return QString::fromUtf8(path.data(), qsizetype(path.size())); }

[[noreturn]] void fail(ErrorNumber number, const std::string& path) { throw RuntimeError(number, path); }

// What the platform said, read straight after the call that failed (on Windows, GetLastError()).
ErrorNumber fromErrno(int error, ErrorNumber otherwise) { return lastFileError(error, otherwise); }

// Checked before any open: opening a FIFO waits for a peer and would freeze the game.
void refuseIfNotAFile(const std::string& path)
{
    if (fileKind(path) == FileKind::Other)
        fail(ErrorNumber::PathFileAccessError, path);
}

void openOrFail(QFile& file, QIODevice::OpenMode mode, const std::string& path)
{
    errno = 0;
    if (!file.open(mode))
        fail(fromErrno(errno, ErrorNumber::PathFileAccessError), path);
}

void syncFile(QFile& file, const std::string& path)
{
    if (!file.flush())
        fail(file.error() == QFileDevice::ResourceError ? ErrorNumber::DiskFull : ErrorNumber::DeviceIoError, path);
#ifdef Q_OS_WIN
    if (_commit(file.handle()) != 0)
        fail(fromErrno(errno, ErrorNumber::DeviceIoError), path);
#else
    if (::fsync(file.handle()) != 0)
        fail(fromErrno(errno, ErrorNumber::DeviceIoError), path);
#endif
}

// A new or renamed entry is only safe once its directory is on disk too. Windows has no such
// call: the move itself is written through.
void syncDirectoryOf(const std::string& path)
{
#ifndef Q_OS_WIN
    const QByteArray dir = QFile::encodeName(QFileInfo(qPath(path)).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        fail(fromErrno(errno, ErrorNumber::DeviceIoError), path);
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    // Some file systems cannot sync a directory at all; their renames are as safe as they get.
    if (result != 0 && error != EINVAL)
        fail(fromErrno(error, ErrorNumber::DeviceIoError), path);
#else
    Q_UNUSED(path);
#endif
}

// A record file someone made read-only stays as it is, even for an administrator, whom the
// system would let write it.
bool writable(const QString& path)
{
    const QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return (QFile::permissions(path) & anyWrite) && QFileInfo(path).isWritable();
}

void moveOver(const QString& from, const QString& to, const std::string& path)
{
#ifdef Q_OS_WIN
    if (!MoveFileExW(reinterpret_cast<LPCWSTR>(from.utf16()), reinterpret_cast<LPCWSTR>(to.utf16()),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(errorFromWin32(GetLastError(), ErrorNumber::PathFileAccessError), path);
#else
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        fail(fromErrno(errno, ErrorNumber::PathFileAccessError), path);
#endif
}

} // namespace

std::string recordDir()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        fail(ErrorNumber::PathNotFound, "record folder");
    const QString dir = base + QStringLiteral("/zanfiro/");
    errno = 0;
    if (!QDir().mkpath(dir) || !QFileInfo(dir).isDir()) {
        // Only two answers: the folder is forbidden to us, or it cannot be there.
        const bool forbidden = fromErrno(errno, ErrorNumber::PathNotFound) == ErrorNumber::PermissionDenied;
        fail(forbidden ? ErrorNumber::PermissionDenied : ErrorNumber::PathNotFound, dir.toStdString());
    }
    return dir.toStdString();
}

FileKind fileKind(const std::string& path)
{
    // A link to a regular file is that file.
    const QFileInfo info(qPath(path));
    if (!info.exists())
        return FileKind::Missing;
    return info.isFile() ? FileKind::Regular : FileKind::Other;
}

void touchAppend(const std::string& path)
{
    refuseIfNotAFile(path);
    QFile file(qPath(path));
    openOrFail(file, QIODevice::Append, path);
    file.close();
}

std::string readBytes(const std::string& path, std::size_t maxBytes, std::uint64_t* fileSize)
{
    refuseIfNotAFile(path);
    QFile file(qPath(path));
    if (!file.exists())
        fail(ErrorNumber::FileNotFound, path);
    openOrFail(file, QIODevice::ReadOnly, path);
    const std::uint64_t size = static_cast<std::uint64_t>(std::max<qint64>(file.size(), 0));
    if (fileSize)
        *fileSize = size;
    std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(maxBytes, size)), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const qint64 n = file.read(bytes.data() + got, qint64(bytes.size() - got));
        if (n < 0)
            fail(ErrorNumber::DeviceIoError, path);
        if (n == 0)
            break; // it shrank while we read
        got += std::size_t(n);
    }
    bytes.resize(got);
    return bytes;
}

void writeDurable(const std::string& path, const std::string& bytes)
{
    refuseIfNotAFile(path);
    QFile file(qPath(path));
    openOrFail(file, QIODevice::WriteOnly | QIODevice::Truncate, path);
    if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
        fail(file.error() == QFileDevice::ResourceError ? ErrorNumber::DiskFull : ErrorNumber::DeviceIoError, path);
    syncFile(file, path);
    file.close();
    syncDirectoryOf(path);
}

void replaceFile(const std::string& from, const std::string& to)
{
    const QString source = qPath(from);
    const QString target = qPath(to);
    if (fileKind(from) != FileKind::Regular)
        fail(ErrorNumber::FileNotFound, from);
    switch (fileKind(to)) {
    case FileKind::Other: fail(ErrorNumber::PathFileAccessError, to);
    case FileKind::Regular:
        if (!writable(target))
            fail(ErrorNumber::PermissionDenied, to);
        // The new file keeps the permissions the old one had.
        if (!QFile::setPermissions(source, QFile::permissions(target)))
            fail(ErrorNumber::PermissionDenied, from);
        break;
    case FileKind::Missing: break;
    }
    moveOver(source, target, to);
    syncDirectoryOf(to);
}

void removeFile(const std::string& path)
{
    const QString file = qPath(path);
    if (!QFileInfo::exists(file) && !QFileInfo(file).isSymLink())
        return;
    errno = 0;
    if (!QFile::remove(file))
        fail(fromErrno(errno, ErrorNumber::PathFileAccessError), path);
}

} // namespace zanfiro::recordfiles
