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

} // namespace zanfiro
