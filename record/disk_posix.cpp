// SPDX-License-Identifier: GPL-3.0-or-later
// The record folder's system calls on Linux and other POSIX systems.
#include "record/disk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <utility>

#include "record/disk_posix.h"
#include "record/file_errors.h"

namespace zanfiro::disk {

using namespace posix;

namespace {

constexpr std::size_t ownFileBytes = 4096;

// What an open file is, refused when it is not a plain file (a FIFO, a device, a folder).
struct stat plainFileStat(int fd, const std::string& path)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        fail(errno, ErrorNumber::DeviceIoError, path);
    if (!S_ISREG(info.st_mode))
        fail(EINVAL, ErrorNumber::PathFileAccessError, path);
    return info;
}

// A new or renamed entry is only safe once its folder is on disk too.
void syncFolderOf(const std::string& path)
{
    Fd dir{::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd < 0)
        fail(errno, ErrorNumber::DeviceIoError, path);
    // Some file systems cannot sync a folder at all; their renames are as safe as they get.
    if (::fsync(dir.fd) != 0 && errno != EINVAL)
        fail(errno, ErrorNumber::DeviceIoError, path);
}

FileKind kindOf(const std::string& path, bool throughLinks)
{
    struct stat info {};
    if ((throughLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return FileKind::Missing;
        fail(errno, ErrorNumber::PathFileAccessError, path);
    }
    return S_ISREG(info.st_mode) ? FileKind::Regular : FileKind::Other;
}

// A record someone made read-only stays as it is, even for an administrator. In a folder with the
// sticky bit only a file's owner may replace it: refused here, before a pair is half replaced.
void refuseIfNotReplaceable(const std::string& target)
{
    struct stat file {};
    if (::lstat(target.c_str(), &file) != 0) {
        if (errno == ENOENT)
            return;
        fail(errno, ErrorNumber::PathFileAccessError, target);
    }
    if (S_ISLNK(file.st_mode) && fileKind(target) == FileKind::Other)
        fail(EINVAL, ErrorNumber::PathFileAccessError, target);
    if (!S_ISLNK(file.st_mode) && !S_ISREG(file.st_mode))
        fail(EINVAL, ErrorNumber::PathFileAccessError, target);
    struct stat seen {};
    if (::stat(target.c_str(), &seen) == 0 && !(seen.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)))
        fail(EACCES, ErrorNumber::PermissionDenied, target);
    struct stat folder {};
    const uid_t me = ::geteuid();
    if (::stat(folderOf(target).c_str(), &folder) == 0 && (folder.st_mode & S_ISVTX) && me != 0
        && folder.st_uid != me && file.st_uid != me)
        fail(EPERM, ErrorNumber::PermissionDenied, target);
}

// Writes a file just made exclusively and puts its bytes on the disk; on any failure it goes again.
void fillNew(int fd, const std::string& file, const std::string& bytes, const std::string& reportAs)
{
    try {
        writeAll(fd, bytes, reportAs);
        if (::fsync(fd) != 0)
            fail(errno, ErrorNumber::DeviceIoError, reportAs);
    } catch (const RuntimeError&) {
        ::close(fd);
        ::unlink(file.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(file.c_str());
        fail(error, ErrorNumber::DeviceIoError, reportAs);
    }
}

// Whether a log's last line is closed: a copy that died half way through one left it open.
bool endsOpen(int fd, off_t size)
{
    char last = '\n';
    return size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n';
}

// A log that this account may not write but whose folder it may: it is written anew with the
// line, under the folder's rights, and put in its place. The old file's bytes all stay.
void appendByReplacing(const std::string& path, const std::string& line, Sharing sharing)
{
    std::uint64_t size = 0;
    std::string bytes = readFile(path, std::size_t(-1) / 2, &size);
    if (bytes.size() != size)
        fail(EIO, ErrorNumber::DeviceIoError, path);
    if (!bytes.empty() && bytes.back() != '\n')
        bytes += "\r\n";
    const std::string staged = stageFile(path, bytes + line, sharing);
    try {
        if (::rename(staged.c_str(), path.c_str()) != 0)
            fail(errno, ErrorNumber::PermissionDenied, path);
    } catch (const RuntimeError&) {
        ::unlink(staged.c_str());
        throw;
    }
}

} // namespace

FileKind fileKind(const std::string& path) { return kindOf(path, true); }
FileKind entryKind(const std::string& path) { return kindOf(path, false); }

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        fail(errno, ErrorNumber::PathNotFound, folder);
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0)
        fail(error, ErrorNumber::DeviceIoError, folder);
    return names;
}

void createIfMissing(const std::string& path, Sharing sharing)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | newFileFlags, 0666);
        if (fd >= 0) {
            shareWithFolder(fd, path, sharing);
            if (::close(fd) != 0)
                fail(errno, ErrorNumber::DeviceIoError, path);
            return;
        }
        if (errno != EEXIST)
            fail(errno, ErrorNumber::PathFileAccessError, path);
        switch (entryKind(path)) {
        case FileKind::Regular: return;
        case FileKind::Other: fail(EINVAL, ErrorNumber::PathFileAccessError, path);
        case FileKind::Missing: break; // removed meanwhile: make it again
        }
    }
    fail(EINVAL, ErrorNumber::PathFileAccessError, path);
}

std::string readFile(const std::string& path, std::size_t maxBytes, std::uint64_t* fileSize)
{
    Fd file{::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0 && errno == ENOENT)
        throw RuntimeError(ErrorNumber::FileNotFound, path);
    if (file.fd < 0)
        fail(errno, ErrorNumber::PathFileAccessError, path);
    const struct stat info = plainFileStat(file.fd, path);
    const std::uint64_t size = std::uint64_t(std::max<off_t>(info.st_size, 0));
    if (fileSize)
        *fileSize = size;
    std::string bytes(std::size_t(std::min<std::uint64_t>(maxBytes, size)), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(file.fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            fail(errno, ErrorNumber::DeviceIoError, path);
        if (n == 0)
            break; // it shrank while we read
        got += std::size_t(n);
    }
    bytes.resize(got);
    return bytes;
}

std::string readOwnFile(const std::string& path) { return readFile(path, ownFileBytes, nullptr); }

std::string stageFile(const std::string& target, const std::string& bytes, Sharing sharing)
{
    refuseIfNotReplaceable(target);
    for (int attempt = 0; attempt <= 100; ++attempt) {
        const std::string file = target + stagedInfix + "." + disk::uniqueNamePart();
        const int fd = ::open(file.c_str(), O_WRONLY | newFileFlags, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            fail(errno, ErrorNumber::PathFileAccessError, target);
        shareWithFolder(fd, file, sharing);
        // Its entry reaches the disk with the marker's: until the marker is there, a staged file
        // lost in a crash is one the next load would drop anyway.
        fillNew(fd, file, bytes, target);
        return file;
    }
    fail(EEXIST, ErrorNumber::PathFileAccessError, target);
}

void createFile(const std::string& path, const std::string& bytes, Sharing sharing)
{
    const int fd = ::open(path.c_str(), O_WRONLY | newFileFlags, 0666);
    if (fd < 0)
        fail(errno, ErrorNumber::PathFileAccessError, path);
    shareWithFolder(fd, path, sharing);
    fillNew(fd, path, bytes, path);
    syncFolderOf(path);
}

void replaceFile(const std::string& from, const std::string& to, Sharing sharing)
{
    if (entryKind(from) != FileKind::Regular)
        fail(ENOENT, ErrorNumber::FileNotFound, from);
    refuseIfNotReplaceable(to);
    // In a pupil's own folder the new file keeps the permissions the old one had; in a class
    // folder it has the folder's, which it was made with.
    struct stat old {};
    if (sharing == Sharing::Private && ::stat(to.c_str(), &old) == 0 && ::chmod(from.c_str(), old.st_mode & 07777) != 0)
        fail(errno, ErrorNumber::PermissionDenied, from);
    // rename() replaces the entry at `to`: a link there goes, what it led to is untouched.
    if (::rename(from.c_str(), to.c_str()) != 0)
        fail(errno, ErrorNumber::PathFileAccessError, to);
    syncFolderOf(to);
}

void removeFile(const std::string& path)
{
    // unlink() removes a link itself, never what it leads to.
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        fail(errno, ErrorNumber::PathFileAccessError, path);
}

void appendLine(const std::string& path, const std::string& line, const std::string& headerIfEmpty, Sharing sharing)
{
    // One write at the end of the file: with every copy appending under the record lock, lines
    // never interleave. A link, a FIFO or a device in its place is refused without waiting.
    Fd file{::open(path.c_str(), O_RDWR | O_APPEND | O_NONBLOCK | newFileFlags, 0666)};
    if (file.fd >= 0)
        shareWithFolder(file.fd, path, sharing);
    else if (errno == EEXIST)
        file.fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (file.fd < 0) {
        const int error = errno;
        if (error == EACCES && sharing == Sharing::Class && entryKind(path) == FileKind::Regular)
            return appendByReplacing(path, line, sharing);
        fail(error, ErrorNumber::PathFileAccessError, path);
    }
    const struct stat info = plainFileStat(file.fd, path);
    const std::string bytes = (info.st_size == 0 ? headerIfEmpty : endsOpen(file.fd, info.st_size) ? "\r\n" : "") + line;
    try {
        writeAll(file.fd, bytes, path);
    } catch (const RuntimeError&) {
        bestEffort(::ftruncate(file.fd, info.st_size)); // a cut line is taken back
        throw;
    }
    // A share writes the line back at the close, whose answer counts.
    if (::close(file.release()) != 0) {
        const int error = errno;
        const int again = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (again >= 0) {
            bestEffort(::ftruncate(again, info.st_size));
            ::close(again);
        }
        fail(error, ErrorNumber::DeviceIoError, path);
    }
}

} // namespace zanfiro::disk
