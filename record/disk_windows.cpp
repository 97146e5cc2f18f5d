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

#include "record/disk_windows.h"
#include "record/file_errors.h"

namespace zanfiro::disk {

using namespace windows;

namespace {

constexpr std::size_t ownFileBytes = 4096;
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

} // namespace zanfiro::disk
