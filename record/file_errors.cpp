// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/file_errors.h"

#include <cerrno>

namespace zanfiro {

ErrorNumber errorFromErrno(int error, ErrorNumber otherwise)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS: return ErrorNumber::PermissionDenied;
    case ENOENT:
    case ENOTDIR: return ErrorNumber::PathNotFound;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return ErrorNumber::DiskFull;
    case EIO: return ErrorNumber::DeviceIoError;
    default: return otherwise;
    }
}

namespace win32 {
// Numbers from the Windows system error code list (winerror.h).
constexpr unsigned long fileNotFound = 2;
constexpr unsigned long pathNotFound = 3;
constexpr unsigned long accessDenied = 5;
constexpr unsigned long invalidDrive = 15;
constexpr unsigned long writeProtect = 19;
constexpr unsigned long notReady = 21;
constexpr unsigned long crc = 23;
constexpr unsigned long seek = 25;
constexpr unsigned long writeFault = 29;
constexpr unsigned long readFault = 30;
constexpr unsigned long genFailure = 31;
constexpr unsigned long sharingViolation = 32;
constexpr unsigned long lockViolation = 33;
constexpr unsigned long handleDiskFull = 39;
constexpr unsigned long badNetPath = 53;
constexpr unsigned long networkAccessDenied = 65;
constexpr unsigned long badNetName = 67;
constexpr unsigned long diskFull = 112;
constexpr unsigned long invalidName = 123;
constexpr unsigned long directoryName = 267;
constexpr unsigned long ioDevice = 1117;
constexpr unsigned long diskQuotaExceeded = 1295;
} // namespace win32

ErrorNumber errorFromWin32(unsigned long code, ErrorNumber otherwise)
{
    switch (code) {
    // A file another program holds open or locked is refused, as a read-only medium is.
    case win32::accessDenied:
    case win32::networkAccessDenied:
    case win32::writeProtect:
    case win32::sharingViolation:
    case win32::lockViolation: return ErrorNumber::PermissionDenied;
    case win32::fileNotFound:
    case win32::pathNotFound:
    case win32::invalidDrive:
    case win32::badNetPath:
    case win32::badNetName:
    case win32::invalidName:
    case win32::directoryName: return ErrorNumber::PathNotFound;
    case win32::handleDiskFull:
    case win32::diskFull:
    case win32::diskQuotaExceeded: return ErrorNumber::DiskFull;
    // A drive that is gone or failing, such as a pulled USB stick.
    case win32::notReady:
    case win32::crc:
    case win32::seek:
    case win32::writeFault:
    case win32::readFault:
    case win32::genFailure:
    case win32::ioDevice: return ErrorNumber::DeviceIoError;
    default: return otherwise;
    }
}

} // namespace zanfiro
