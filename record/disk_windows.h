// SPDX-License-Identifier: GPL-3.0-or-later
// What the Windows record folder calls share: the file calls (disk_windows.cpp) and the lock's
// (disk_lock_windows.cpp).
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <string>

#include "record/disk.h"
#include "record/file_errors.h"

namespace zanfiro::disk::windows {

inline constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

[[noreturn]] inline void failWith(DWORD code, ErrorNumber otherwise, const std::string& path)
{
    throw RuntimeError(errorFromWin32(code, otherwise), path);
}

[[noreturn]] inline void fail(ErrorNumber otherwise, const std::string& path) { failWith(GetLastError(), otherwise, path); }

inline std::wstring wide(const std::string& path)
{
    if (path.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.data(), int(path.size()), nullptr, 0);
    std::wstring text(std::size_t(std::max(n, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), int(path.size()), text.data(), n);
    return text;
}

inline std::string narrow(const wchar_t* text)
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
inline HANDLE openFile(const std::string& path, DWORD access, DWORD disposition)
{
    return CreateFileW(wide(path).c_str(), access, shareAll, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

inline bool isPlainFile(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info {};
    return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info)
        && !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

inline bool isAbsence(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

// Whether a new file could not be made because something is already there: Windows answers
// "access denied", not "exists", when that something is a folder.
inline bool nameTaken(DWORD code, const std::string& path)
{
    if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
        return true;
    return code == ERROR_ACCESS_DENIED && GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void writeAll(HANDLE file, const std::string& bytes, const std::string& path)
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

} // namespace zanfiro::disk::windows
