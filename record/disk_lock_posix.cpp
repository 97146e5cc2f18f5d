// SPDX-License-Identifier: GPL-3.0-or-later
// The folder's lock file and the folders themselves, on Linux and other POSIX systems.
#include "record/disk.h"

#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

#include "record/disk_posix.h"

namespace zanfiro::disk {

using namespace posix;

namespace {

std::string readFirstLine(const char* file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// When a process began, as the kernel counts it since boot, with the boot it belongs to: a process
// number used again after the holder died, or after a restart, is not taken for the holder.
std::string processStamp(pid_t pid)
{
    const std::string boot = readFirstLine("/proc/sys/kernel/random/boot_id");
    const std::string stat = readFirstLine(("/proc/" + std::to_string(pid) + "/stat").c_str());
    const std::size_t close = stat.rfind(')');
    if (boot.empty() || close == std::string::npos)
        return "-";
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    return field.empty() ? "-" : boot + "/" + field;
}

std::string machineName()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || !name[0])
        return "?";
    std::string text = name;
    std::replace(text.begin(), text.end(), ' ', '_');
    return text;
}

} // namespace

std::string lockOwnerLine()
{
    return "zanfiro " + machineName() + " " + std::to_string(::getpid()) + " " + processStamp(::getpid()) + "\n";
}

bool tryCreateLock(const std::string& path, const std::string& content, Sharing sharing, LockHandle* handle)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | newFileFlags, 0666);
    if (fd < 0 && errno == EEXIST)
        return false;
    if (fd < 0)
        fail(errno, ErrorNumber::PathFileAccessError, path);
    shareWithFolder(fd, path, sharing);
    try {
        writeAll(fd, content, path);
    } catch (const RuntimeError& error) {
        // A full disk still lets the lock be held: empty, it is kept alive by the holder's touches.
        if (error.number() != ErrorNumber::DiskFull) {
            ::close(fd);
            ::unlink(path.c_str());
            throw;
        }
    }
    handle->native = fd;
    handle->path = path;
    return true;
}

LockFileState readLock(const std::string& path)
{
    LockFileState state;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return state;
        fail(errno, ErrorNumber::PathFileAccessError, path);
    }
    state.kind = S_ISREG(info.st_mode) ? FileKind::Regular : FileKind::Other;
    state.identity = std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + ":"
        + std::to_string(info.st_size) + ":" + std::to_string(info.st_mtim.tv_sec) + "."
        + std::to_string(info.st_mtim.tv_nsec);
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    state.ageMs = (now.tv_sec - info.st_mtim.tv_sec) * 1000LL + (now.tv_nsec - info.st_mtim.tv_nsec) / 1000000;
    if (state.kind != FileKind::Regular)
        return state;
    // A lock that cannot be read says nothing of its holder: it reads as empty.
    Fd file{::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd >= 0) {
        char bytes[256];
        const ssize_t n = ::read(file.fd, bytes, sizeof bytes);
        if (n > 0)
            state.content.assign(bytes, std::size_t(n));
    }
    return state;
}

void touchLock(const LockHandle& handle)
{
    if (handle.native >= 0)
        ::futimens(int(handle.native), nullptr);
}

void releaseLock(LockHandle& handle)
{
    if (handle.native < 0)
        return;
    // Closed first: a share may refuse to remove a file that is still open.
    ::close(int(std::exchange(handle.native, -1)));
    bool gone = false;
    for (int attempt = 0; attempt < 3 && !gone; ++attempt)
        gone = ::unlink(handle.path.c_str()) == 0 || errno == ENOENT;
    // A lock that will not go is emptied instead: the others take it over shortly.
    if (!gone)
        bestEffort(::truncate(handle.path.c_str(), 0));
}

bool ownerAlive(const std::string& ownerLine, bool* sameMachine)
{
    std::istringstream fields(ownerLine);
    std::string tag, machine, stamp;
    long pid = 0;
    fields >> tag >> machine >> pid >> stamp;
    *sameMachine = machine == machineName();
    if (!*sameMachine || pid <= 0)
        return true;
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return false;
    const std::string now = processStamp(pid_t(pid));
    return stamp == "-" || now == "-" || now == stamp;
}

std::string makeUserFolder(const std::string& base)
{
    // The toolkit's answer rests on XDG_DATA_HOME, else HOME: a HOME that is the file system's
    // root or is not there is no place for a pupil's record, and is never made.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (!dataHome || dataHome[0] != '/') {
        const char* home = std::getenv("HOME");
        struct stat info {};
        const bool rootOnly = home && std::string(home).find_first_not_of('/') == std::string::npos;
        if (!home || home[0] != '/' || rootOnly || ::stat(home, &info) != 0 || !S_ISDIR(info.st_mode))
            throw RuntimeError(ErrorNumber::PathNotFound, std::string("HOME=") + (home ? home : ""));
    }
    if (base.empty() || base[0] != '/')
        throw RuntimeError(ErrorNumber::PathNotFound, "record folder");
    const std::string folder = base + "/zanfiro";
    for (std::size_t slash = 1; slash != std::string::npos;) {
        slash = folder.find('/', slash + 1);
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            fail(errno, ErrorNumber::PathNotFound, part);
    }
    checkSetFolder(folder);
    return folder + "/";
}

void checkSetFolder(const std::string& folder)
{
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        fail(errno, ErrorNumber::PathNotFound, folder);
    if (!S_ISDIR(info.st_mode))
        fail(ENOTDIR, ErrorNumber::PathNotFound, folder);
}

bool isAbsoluteFolder(const std::string& folder) { return !folder.empty() && folder[0] == '/'; }

} // namespace zanfiro::disk
