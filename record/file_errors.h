// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/runtime_error.h"

namespace zanfiro {

// The run-time error a refused file operation shows, from the number the system gave for it.
// `otherwise` is the error for a number with no closer meaning.
ErrorNumber errorFromErrno(int error, ErrorNumber otherwise);

// The same from a Windows system error code (GetLastError). The codes are the documented numbers,
// so the table builds and is tested on every system.
ErrorNumber errorFromWin32(unsigned long code, ErrorNumber otherwise);

} // namespace zanfiro
