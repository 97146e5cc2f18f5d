// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/record_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/qt/file_calls.h"
#include "record/file_errors.h"

namespace zanfiro::recordfiles {

namespace {

// A record file someone made read-only stays as it is, even for an administrator, whom the
// system would let write it.
bool writable(const QString& path)
{
    const QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return (QFile::permissions(path) & anyWrite) && QFileInfo(path).isWritable();
}

} // namespace

namespace detail {

// Checked before any open: opening a FIFO waits for a peer and would freeze the game.
void refuseIfNotAFile(const std::string& path)
{
    if (fileKind(path) == FileKind::Other)
        fail(ErrorNumber::PathFileAccessError, path);
}

// A new or renamed entry is only safe once its directory is on disk too. Windows has no such
// call: the move itself is written through.
void syncDirectoryOf(const std::string& path)
{
#ifndef Q_OS_WIN
    const QByteArray dir = QFile::encodeName(QFileInfo(qPath(path)).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        failWith(errno, ErrorNumber::DeviceIoError, path);
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    // Some file systems cannot sync a directory at all; their renames are as safe as they get.
    if (result != 0 && error != EINVAL)
        failWith(error, ErrorNumber::DeviceIoError, path);
#else
    Q_UNUSED(path);
#endif
}

// Whether a record file can be put in the place of this one.
void refuseIfNotReplaceable(const std::string& target)
{
    switch (fileKind(target)) {
    case FileKind::Other: fail(ErrorNumber::PathFileAccessError, target);
    case FileKind::Regular:
        if (!writable(qPath(target)))
            fail(ErrorNumber::PermissionDenied, target);
        break;
    case FileKind::Missing: break;
    }
}

void openOrFail(QFile& file, QIODevice::OpenMode mode, const std::string& path)
{
    errno = 0;
    if (!file.open(mode))
        failWith(errno, ErrorNumber::PathFileAccessError, path);
}

} // namespace detail

using namespace detail;

namespace {

// Whether the system answered "nothing there", as opposed to not answering (asked of POSIX only).
[[maybe_unused]] bool isAbsence(int error) { return error == ENOENT || error == ENOTDIR; }

FileKind kindOf(const std::string& path, bool throughLinks)
{
#ifdef Q_OS_WIN
    const QFileInfo info(qPath(path));
    if (!throughLinks && info.isSymLink())
        return FileKind::Other;
    if (!info.exists())
        return FileKind::Missing;
    return info.isFile() ? FileKind::Regular : FileKind::Other;
#else
    struct stat info {};
    const QByteArray name = QFile::encodeName(qPath(path));
    const int result = throughLinks ? ::stat(name.constData(), &info) : ::lstat(name.constData(), &info);
    if (result != 0) {
        if (isAbsence(errno))
            return FileKind::Missing;
        failWith(errno, ErrorNumber::PathFileAccessError, path);
    }
    return S_ISREG(info.st_mode) ? FileKind::Regular : FileKind::Other;
#endif
}

void moveOver(const QString& from, const QString& to, const std::string& path)
{
#ifdef Q_OS_WIN
    if (!MoveFileExW(reinterpret_cast<LPCWSTR>(from.utf16()), reinterpret_cast<LPCWSTR>(to.utf16()),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(errorFromWin32(GetLastError(), ErrorNumber::PathFileAccessError), path);
#else
    // rename() replaces the entry at `to`: a link there goes, what it led to is untouched.
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        failWith(errno, ErrorNumber::PathFileAccessError, path);
#endif
}

} // namespace

FileKind fileKind(const std::string& path) { return kindOf(path, true); }
FileKind entryKind(const std::string& path) { return kindOf(path, false); }

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
#ifdef Q_OS_WIN
    const QDir dir(qPath(folder));
    if (!dir.exists())
        fail(ErrorNumber::PathNotFound, folder);
    for (const QString& name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        names.push_back(name.toStdString());
#else
    DIR* dir = ::opendir(QFile::encodeName(qPath(folder)).constData());
    if (!dir)
        failWith(errno, ErrorNumber::PathNotFound, folder);
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(QFile::decodeName(entry->d_name).toStdString());
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0)
        failWith(error, ErrorNumber::DeviceIoError, folder);
#endif
    return names;
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
    if (fileKind(path) == FileKind::Missing)
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

void replaceFile(const std::string& from, const std::string& to)
{
    const QString source = qPath(from);
    const QString target = qPath(to);
    if (entryKind(from) != FileKind::Regular)
        fail(ErrorNumber::FileNotFound, from);
    refuseIfNotReplaceable(to);
    // The new file keeps the permissions the old one had.
    if (fileKind(to) == FileKind::Regular && !QFile::setPermissions(source, QFile::permissions(target)))
        fail(ErrorNumber::PermissionDenied, from);
    moveOver(source, target, to);
    syncDirectoryOf(to);
}

void removeFile(const std::string& path)
{
#ifdef Q_OS_WIN
    if (entryKind(path) == FileKind::Missing)
        return;
    if (!QFile::remove(qPath(path)))
        fail(ErrorNumber::PathFileAccessError, path);
#else
    // unlink() removes a link itself, never what it leads to.
    if (::unlink(QFile::encodeName(qPath(path)).constData()) != 0 && errno != ENOENT)
        failWith(errno, ErrorNumber::PathFileAccessError, path);
#endif
}

} // namespace zanfiro::recordfiles
