// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/record_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/runtime_error.h"
#include "record/file_errors.h"

namespace zanfiro::recordfiles {

namespace {

constexpr std::size_t ownFileBytes = 4096;

QString qPath(const std::string& path) { return QString::fromUtf8(path.data(), qsizetype(path.size())); }

[[noreturn]] void fail(ErrorNumber number, const std::string& path) { throw RuntimeError(number, path); }

// What the platform said, read straight after the call that failed: anything in between (Qt's
// own error handling included) may change it.
[[noreturn]] void failWith(int error, ErrorNumber otherwise, const std::string& path)
{
    fail(errorFromErrno(error, otherwise), path);
}

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
        failWith(errno, ErrorNumber::PathFileAccessError, path);
}

// Whether the system answered "nothing there", as opposed to not answering.
bool isAbsence(int error) { return error == ENOENT || error == ENOTDIR; }

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

// Every byte goes out, or the error says why not: a disk that fills up half way is a full disk.
void writeAll(int fd, const std::string& bytes, const std::string& path)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
#ifdef Q_OS_WIN
        const int n = ::_write(fd, bytes.data() + done, unsigned(std::min<std::size_t>(bytes.size() - done, 1 << 30)));
#else
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
#endif
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            failWith(n < 0 ? errno : ENOSPC, ErrorNumber::DeviceIoError, path);
        done += std::size_t(n);
    }
}

void syncFd(int fd, const std::string& path)
{
#ifdef Q_OS_WIN
    if (::_commit(fd) != 0)
#else
    if (::fsync(fd) != 0)
#endif
        failWith(errno, ErrorNumber::DeviceIoError, path);
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

// Opens a file that must not exist yet: created exclusively, so a link planted at its name is
// neither followed nor replaced. False when the name is taken.
bool openNew(QFile& file, const std::string& reportAs)
{
    errno = 0;
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return true;
    if (errno == EEXIST)
        return false;
    failWith(errno, ErrorNumber::PathFileAccessError, reportAs);
}

// Fills a file just made by openNew and puts its bytes on the disk, and its folder entry too when
// asked; on any failure it goes again.
void fillNew(QFile& file, const std::string& bytes, const std::string& reportAs, bool syncEntry)
{
    try {
        writeAll(file.handle(), bytes, reportAs);
        syncFd(file.handle(), reportAs);
        file.close();
        if (syncEntry)
            syncDirectoryOf(file.fileName().toStdString());
    } catch (const RuntimeError&) {
        file.close();
        QFile::remove(file.fileName());
        throw;
    }
}

// A record file someone made read-only stays as it is, even for an administrator, whom the
// system would let write it.
bool writable(const QString& path)
{
    const QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return (QFile::permissions(path) & anyWrite) && QFileInfo(path).isWritable();
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

void moveOver(const QString& from, const QString& to, const std::string& path)
{
#ifdef Q_OS_WIN
    if (!MoveFileExW(reinterpret_cast<LPCWSTR>(from.utf16()), reinterpret_cast<LPCWSTR>(to.utf16()),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(GetLastError() == ERROR_ACCESS_DENIED ? ErrorNumber::PermissionDenied : ErrorNumber::PathFileAccessError, path);
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

std::string stageFile(const std::string& target, const std::string& bytes)
{
    refuseIfNotReplaceable(target);
    QFile file;
    for (int attempt = 0;; ++attempt) {
        const QString unique = QString::number(QRandomGenerator::global()->generate64(), 36);
        file.setFileName(qPath(target) + QLatin1String(stagedInfix) + QLatin1Char('.') + unique);
        if (openNew(file, target))
            break;
        if (attempt == 100)
            fail(ErrorNumber::PathFileAccessError, target);
    }
    // Its entry reaches the disk with the marker's: until the marker is there, a staged file
    // lost in a crash is one the next load would drop anyway.
    fillNew(file, bytes, target, false);
    return file.fileName().toStdString();
}

void createFile(const std::string& path, const std::string& bytes)
{
    QFile file(qPath(path));
    if (!openNew(file, path))
        fail(ErrorNumber::PathFileAccessError, path);
    fillNew(file, bytes, path, true);
}

std::string readOwnFile(const std::string& path)
{
#ifdef Q_OS_WIN
    if (entryKind(path) != FileKind::Regular)
        fail(ErrorNumber::PathFileAccessError, path);
    return readBytes(path, ownFileBytes, nullptr);
#else
    const int fd = ::open(QFile::encodeName(qPath(path)).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        failWith(errno, errno == ELOOP ? ErrorNumber::PathFileAccessError : ErrorNumber::DeviceIoError, path);
    struct stat info {};
    std::string bytes(ownFileBytes, '\0');
    ssize_t got = -1;
    int error = EINVAL;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        got = ::read(fd, bytes.data(), bytes.size());
        error = errno;
    }
    ::close(fd);
    if (got < 0)
        failWith(error, ErrorNumber::PathFileAccessError, path);
    bytes.resize(std::size_t(got));
    return bytes;
#endif
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

void appendBytes(const std::string& path, const std::string& bytes)
{
#ifdef Q_OS_WIN
    refuseIfNotAFile(path);
    QFile file(qPath(path));
    openOrFail(file, QIODevice::Append | QIODevice::Unbuffered, path);
    writeAll(file.handle(), bytes, path);
    file.close();
#else
    // One write at the end of the file: with every copy appending under the record lock, lines
    // never interleave. A link, a FIFO or a device in its place is refused without waiting. No
    // flush of its own: a log line is worth less than the lock's time, and a share writes it back
    // at the close, whose answer counts.
    const int fd = ::open(QFile::encodeName(qPath(path)).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        failWith(errno, ErrorNumber::PathFileAccessError, path);
    struct stat info {};
    try {
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
            fail(ErrorNumber::PathFileAccessError, path);
        writeAll(fd, bytes, path);
    } catch (const RuntimeError&) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0)
        failWith(errno, ErrorNumber::DeviceIoError, path);
#endif
}

} // namespace zanfiro::recordfiles
