// SPDX-License-Identifier: GPL-3.0-or-later
// The folder's lock file and the folders themselves, on Windows.
#include "record/disk_windows.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <utility>

namespace zanfiro::disk {

using namespace windows;

namespace {

std::string machineName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &size) || size == 0)
        return "?";
    std::string text = narrow(name);
    std::replace(text.begin(), text.end(), ' ', '_');
    return text;
}

// When a process began: a process number used again after the holder died is not the holder.
std::string processStamp(HANDLE process)
{
    FILETIME created {}, exited {}, kernel {}, user {};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return "-";
    return std::to_string((std::uint64_t(created.dwHighDateTime) << 32) | created.dwLowDateTime);
}

} // namespace

std::string lockOwnerLine()
{
    return "zanfiro " + machineName() + " " + std::to_string(GetCurrentProcessId()) + " "
        + processStamp(GetCurrentProcess()) + "\n";
}

bool tryCreateLock(const std::string& path, const std::string& content, Sharing, LockHandle* handle)
{
    // Shared for deletion, so a copy that finds it stale can remove it while a touch is under way.
    const HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE | FILE_WRITE_ATTRIBUTES, shareAll,
                                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (nameTaken(code, path))
            return false;
        failWith(code, ErrorNumber::PathFileAccessError, path);
    }
    try {
        writeAll(file, content, path);
    } catch (const RuntimeError& error) {
        if (error.number() != ErrorNumber::DiskFull) {
            CloseHandle(file);
            DeleteFileW(wide(path).c_str());
            throw;
        }
    }
    handle->native = reinterpret_cast<std::intptr_t>(file);
    handle->path = path;
    return true;
}

LockFileState readLock(const std::string& path)
{
    LockFileState state;
    WIN32_FILE_ATTRIBUTE_DATA data {};
    if (!GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data)) {
        const DWORD code = GetLastError();
        if (isAbsence(code))
            return state;
        failWith(code, ErrorNumber::PathFileAccessError, path);
    }
    state.kind = data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)
        ? FileKind::Other : FileKind::Regular;
    std::ostringstream identity;
    identity << data.ftCreationTime.dwHighDateTime << ':' << data.ftCreationTime.dwLowDateTime << ':'
             << data.nFileSizeLow << ':' << data.ftLastWriteTime.dwHighDateTime << ':'
             << data.ftLastWriteTime.dwLowDateTime;
    state.identity = identity.str();
    FILETIME now {};
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return static_cast<long long>((std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    state.ageMs = (ticks(now) - ticks(data.ftLastWriteTime)) / 10000; // 100 ns ticks
    if (state.kind != FileKind::Regular)
        return state;
    Handle file{openFile(path, GENERIC_READ, OPEN_EXISTING)};
    char bytes[256];
    DWORD n = 0;
    if (file.ok() && ReadFile(file.h, bytes, sizeof bytes, &n, nullptr))
        state.content.assign(bytes, n);
    return state;
}

void touchLock(const LockHandle& handle)
{
    if (handle.native == -1)
        return;
    FILETIME now {};
    GetSystemTimeAsFileTime(&now);
    SetFileTime(reinterpret_cast<HANDLE>(handle.native), nullptr, nullptr, &now);
}

void releaseLock(LockHandle& handle)
{
    if (handle.native == -1)
        return;
    // Closed first: a share may refuse to remove a file that is still open.
    CloseHandle(reinterpret_cast<HANDLE>(std::exchange(handle.native, -1)));
    bool gone = false;
    for (int attempt = 0; attempt < 3 && !gone; ++attempt)
        gone = DeleteFileW(wide(handle.path).c_str()) || isAbsence(GetLastError());
    // A lock that will not go is emptied instead: the others take it over shortly.
    Handle file{gone ? INVALID_HANDLE_VALUE : openFile(handle.path, GENERIC_WRITE, TRUNCATE_EXISTING)};
}

bool ownerAlive(const std::string& ownerLine, bool* sameMachine)
{
    std::istringstream fields(ownerLine);
    std::string tag, machine, stamp;
    unsigned long pid = 0;
    fields >> tag >> machine >> pid >> stamp;
    *sameMachine = machine == machineName();
    if (!*sameMachine || pid == 0)
        return true;
    Handle process{OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid))};
    if (!process.h || process.h == INVALID_HANDLE_VALUE) {
        process.h = INVALID_HANDLE_VALUE;
        return GetLastError() == ERROR_ACCESS_DENIED; // another account's process is alive
    }
    DWORD code = 0;
    if (GetExitCodeProcess(process.h, &code) && code != STILL_ACTIVE)
        return false;
    const std::string now = processStamp(process.h);
    return stamp == "-" || now == "-" || now == stamp;
}

std::string makeUserFolder(const std::string& base)
{
    if (base.empty() || !isAbsoluteFolder(base))
        throw RuntimeError(ErrorNumber::PathNotFound, "record folder");
    const std::string folder = base + "/zanfiro";
    if (!CreateDirectoryW(wide(folder).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        fail(ErrorNumber::PathNotFound, folder);
    checkSetFolder(folder);
    return folder + "/";
}

void checkSetFolder(const std::string& folder)
{
    const DWORD attributes = GetFileAttributesW(wide(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        fail(ErrorNumber::PathNotFound, folder);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        failWith(ERROR_DIRECTORY, ErrorNumber::PathNotFound, folder);
}

bool isAbsoluteFolder(const std::string& folder)
{
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) && folder[1] == ':' && separator(folder[2]))
        return true;
    return folder.size() >= 3 && separator(folder[0]) && separator(folder[1]) && !separator(folder[2]);
}

} // namespace zanfiro::disk
