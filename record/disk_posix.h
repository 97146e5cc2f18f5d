// SPDX-License-Identifier: GPL-3.0-or-later
// What the POSIX record folder calls share: the file calls (disk_posix.cpp) and the lock's
// (disk_lock_posix.cpp).
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "record/disk.h"
#include "record/file_errors.h"

namespace zanfiro::disk::posix {

inline constexpr int newFileFlags = O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;

[[noreturn]] inline void fail(int error, ErrorNumber otherwise, const std::string& path)
{
    throw RuntimeError(errorFromErrno(error, otherwise), path);
}

// A step that helps when it works and changes nothing when it does not.
inline void bestEffort(int) { }

// Closes a descriptor however the scope is left.
struct Fd {
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int release() { return std::exchange(fd, -1); }
};

inline std::string folderOf(const std::string& path)
{
    std::size_t end = path.find_last_of('/');
    if (end == std::string::npos)
        return ".";
    while (end > 0 && path[end - 1] == '/')
        --end;
    return end == 0 ? "/" : path.substr(0, end);
}

// A file made in a class folder belongs to the folder's group with the folder's read and write
// rights, so the umask of whoever made it first decides nothing.
inline void shareWithFolder(int fd, const std::string& path, Sharing sharing)
{
    if (sharing != Sharing::Class)
        return;
    struct stat folder {};
    if (::stat(folderOf(path).c_str(), &folder) != 0)
        return;
    struct stat file {};
    if (::fstat(fd, &file) == 0 && file.st_gid != folder.st_gid)
        bestEffort(::fchown(fd, uid_t(-1), folder.st_gid)); // only a member of that group may
    ::fchmod(fd, (folder.st_mode & 0666) | S_IRUSR | S_IWUSR);
}

inline void writeAll(int fd, const std::string& bytes, const std::string& path)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(n < 0 ? errno : ENOSPC, ErrorNumber::DeviceIoError, path);
        done += std::size_t(n);
    }
}

} // namespace zanfiro::disk::posix
