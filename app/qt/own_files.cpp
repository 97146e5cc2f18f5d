// SPDX-License-Identifier: GPL-3.0-or-later
// The files the game makes for itself in the record folder: staged records, the commit marker
// and the teacher's log. Each is made new or opened without following a link, and every byte
// written is accounted for, so a disk that fills half way says so.
#include "app/qt/record_files.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/qt/file_calls.h"

namespace zanfiro::recordfiles {

using namespace detail;

namespace {

constexpr std::size_t ownFileBytes = 4096;

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

} // namespace

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
