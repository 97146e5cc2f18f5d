// SPDX-License-Identifier: GPL-3.0-or-later
// The one place that knows where each system keeps the reason a file call failed.
#include "app/qt/platform_error.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include "record/file_errors.h"

namespace zanfiro {

ErrorNumber lastFileError(int error, ErrorNumber otherwise)
{
#ifdef Q_OS_WIN
    if (error == 0)
        return errorFromWin32(GetLastError(), otherwise);
#endif
    return errorFromErrno(error, otherwise);
}

} // namespace zanfiro
