// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/runtime_error.h"

namespace zanfiro {

// The run-time error for the file call that has just failed, from the number the system left for
// it. `error` is errno read straight after the call. On Windows, Qt's file classes and the Win32
// calls leave errno at 0 and say why through GetLastError(), which is read instead; the C
// runtime's own calls set errno there too.
ErrorNumber lastFileError(int error, ErrorNumber otherwise);

} // namespace zanfiro
