// SPDX-License-Identifier: GPL-3.0-or-later
// The record folder's system calls on Windows. Paths go to the wide-character calls, so a folder
// named in any script works. Rights in a class folder come from the folder's inherited access
// list, as Windows gives them to every new file: nothing to add here.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "record/disk.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <utility>

#include "record/file_errors.h"

namespace zanfiro::disk {

namespace {

constexpr std::size_t ownFileBytes = 4096;
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

[[noreturn]] void failWith(DWORD code, ErrorNumber otherwise, const std::string& path)
{
    throw RuntimeError(errorFromWin32(code, otherwise), path);
}

[[noreturn]] void fail(ErrorNumber otherwise, const std::string& path) { failWith(GetLastError(), otherwise, path); }

std::wstring wide(const std::string& path)
{
    if (path.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.data(), int(path.size()), nullptr, 0);
    std::wstring text(std::size_t(std::max(n, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), int(path.size()), text.data(), n);
    return text;
}

std::string narrow(const wchar_t* text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(std::size_t(std::max(n, 1)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), n, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle()
    {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    bool ok() const { return h != INVALID_HANDLE_VALUE; }
};

// Opens without following a link (a reparse point is opened as itself and refused by the caller).
HANDLE openFile(const std::string& path, DWORD access, DWORD disposition)
{
    return CreateFileW(wide(path).c_str(), access, shareAll, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool isPlainFile(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info {};
    return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info)
        && !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

bool isAbsence(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

// Whether a new file could not be made because something is already there: Windows answers
// "access denied", not "exists", when that something is a folder.
bool nameTaken(DWORD code, const std::string& path)
{
    if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
        return true;
    return code == ERROR_ACCESS_DENIED && GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void writeAll(HANDLE file, const std::string& bytes, const std::string& path)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD n = 0;
        const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        if (!WriteFile(file, bytes.data() + done, chunk, &n, nullptr))
            fail(ErrorNumber::DeviceIoError, path);
        if (n == 0)
            failWith(ERROR_DISK_FULL, ErrorNumber::DeviceIoError, path);
        done += n;
    }
}

// A record someone made read-only stays as it is.
void refuseIfNotReplaceable(const std::string& target)
{
    const DWORD attributes = GetFileAttributesW(wide(target).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (isAbsence(code))
            return;
        failWith(code, ErrorNumber::PathFileAccessError, target);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        throw RuntimeError(ErrorNumber::PathFileAccessError, target);
    if (attributes & FILE_ATTRIBUTE_READONLY)
        failWith(ERROR_ACCESS_DENIED, ErrorNumber::PermissionDenied, target);
}

// Makes a file that must not exist yet, writes and flushes it; on any failure it goes again.
bool makeNew(const std::string& file, const std::string& bytes, const std::string& reportAs)
{
    Handle handle{openFile(file, GENERIC_WRITE, CREATE_NEW)};
    if (!handle.ok()) {
        const DWORD code = GetLastError();
        if (nameTaken(code, file))
            return false;
        failWith(code, ErrorNumber::PathFileAccessError, reportAs);
    }
    try {
        writeAll(handle.h, bytes, reportAs);
        if (!FlushFileBuffers(handle.h))
            fail(ErrorNumber::DeviceIoError, reportAs);
    } catch (const RuntimeError&) {
        CloseHandle(std::exchange(handle.h, INVALID_HANDLE_VALUE));
        DeleteFileW(wide(file).c_str());
        throw;
    }
    return true;
}

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

FileKind fileKind(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data {};
    Handle through{CreateFileW(wide(path).c_str(), 0, shareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (!through.ok()) {
        const DWORD code = GetLastError();
        if (isAbsence(code))
            return FileKind::Missing;
        if (!GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data))
            failWith(code, ErrorNumber::PathFileAccessError, path);
        return FileKind::Other; // a link that leads nowhere, or something we may not open
    }
    return isPlainFile(through.h) ? FileKind::Regular : FileKind::Other;
}

FileKind entryKind(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (isAbsence(code))
            return FileKind::Missing;
        failWith(code, ErrorNumber::PathFileAccessError, path);
    }
    return attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)
        ? FileKind::Other : FileKind::Regular;
}

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found {};
    const HANDLE search = FindFirstFileW(wide(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND)
            return names;
        failWith(code, ErrorNumber::PathNotFound, folder);
    }
    do {
        const std::string name = narrow(found.cFileName);
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    const DWORD code = GetLastError();
    FindClose(search);
    if (code != ERROR_NO_MORE_FILES)
        failWith(code, ErrorNumber::DeviceIoError, folder);
    return names;
}

void createIfMissing(const std::string& path, Sharing)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        Handle file{openFile(path, GENERIC_WRITE, CREATE_NEW)};
        if (file.ok())
            return;
        const DWORD code = GetLastError();
        if (!nameTaken(code, path))
            failWith(code, ErrorNumber::PathFileAccessError, path);
        switch (entryKind(path)) {
        case FileKind::Regular: return;
        case FileKind::Other: throw RuntimeError(ErrorNumber::PathFileAccessError, path);
        case FileKind::Missing: break;
        }
    }
    throw RuntimeError(ErrorNumber::PathFileAccessError, path);
}

std::string readFile(const std::string& path, std::size_t maxBytes, std::uint64_t* fileSize)
{
    Handle file{openFile(path, GENERIC_READ, OPEN_EXISTING)};
    if (!file.ok()) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND)
            throw RuntimeError(ErrorNumber::FileNotFound, path);
        failWith(code, ErrorNumber::PathFileAccessError, path);
    }
    if (!isPlainFile(file.h))
        throw RuntimeError(ErrorNumber::PathFileAccessError, path);
    LARGE_INTEGER length {};
    if (!GetFileSizeEx(file.h, &length))
        fail(ErrorNumber::DeviceIoError, path);
    const std::uint64_t size = std::uint64_t(std::max<LONGLONG>(length.QuadPart, 0));
    if (fileSize)
        *fileSize = size;
    std::string bytes(std::size_t(std::min<std::uint64_t>(maxBytes, size)), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        DWORD n = 0;
        if (!ReadFile(file.h, bytes.data() + got, DWORD(std::min<std::size_t>(bytes.size() - got, 1u << 30)), &n, nullptr))
            fail(ErrorNumber::DeviceIoError, path);
        if (n == 0)
            break;
        got += n;
    }
    bytes.resize(got);
    return bytes;
}

std::string readOwnFile(const std::string& path) { return readFile(path, ownFileBytes, nullptr); }

std::string stageFile(const std::string& target, const std::string& bytes, Sharing)
{
    refuseIfNotReplaceable(target);
    for (int attempt = 0; attempt <= 100; ++attempt) {
        const std::string file = target + stagedInfix + "." + disk::uniqueNamePart();
        if (makeNew(file, bytes, target))
            return file;
    }
    failWith(ERROR_FILE_EXISTS, ErrorNumber::PathFileAccessError, target);
}

void createFile(const std::string& path, const std::string& bytes, Sharing)
{
    if (!makeNew(path, bytes, path))
        failWith(ERROR_FILE_EXISTS, ErrorNumber::PathFileAccessError, path);
}

void replaceFile(const std::string& from, const std::string& to, Sharing)
{
    if (entryKind(from) != FileKind::Regular)
        failWith(ERROR_FILE_NOT_FOUND, ErrorNumber::FileNotFound, from);
    refuseIfNotReplaceable(to);
    // The move itself is written through: Windows has no separate flush of a folder.
    if (!MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(ErrorNumber::PathFileAccessError, to);
}

void removeFile(const std::string& path)
{
    if (DeleteFileW(wide(path).c_str()))
        return;
    const DWORD code = GetLastError();
    if (!isAbsence(code))
        failWith(code, ErrorNumber::PathFileAccessError, path);
}

void appendLine(const std::string& path, const std::string& line, const std::string& headerIfEmpty, Sharing)
{
    Handle file{openFile(path, GENERIC_READ | FILE_APPEND_DATA, OPEN_ALWAYS)};
    if (!file.ok())
        fail(ErrorNumber::PathFileAccessError, path);
    if (!isPlainFile(file.h))
        throw RuntimeError(ErrorNumber::PathFileAccessError, path);
    LARGE_INTEGER size {};
    if (!GetFileSizeEx(file.h, &size))
        fail(ErrorNumber::DeviceIoError, path);
    std::string prefix = size.QuadPart == 0 ? headerIfEmpty : std::string();
    if (size.QuadPart > 0) {
        char last = '\n';
        DWORD n = 0;
        OVERLAPPED at {};
        at.Offset = DWORD((size.QuadPart - 1) & 0xFFFFFFFF);
        at.OffsetHigh = DWORD((size.QuadPart - 1) >> 32);
        if (ReadFile(file.h, &last, 1, &n, &at) && n == 1 && last != '\n')
            prefix = "\r\n"; // a line left torn by a copy that died is closed first
    }
    try {
        writeAll(file.h, prefix + line, path);
    } catch (const RuntimeError&) {
        FILE_END_OF_FILE_INFO end {};
        end.EndOfFile = size;
        Handle again{openFile(path, GENERIC_WRITE, OPEN_EXISTING)};
        if (again.ok())
            SetFileInformationByHandle(again.h, FileEndOfFileInfo, &end, sizeof end);
        throw;
    }
}

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
