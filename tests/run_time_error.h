// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include "app/runtime_error.h"

namespace zanfiro::test {

// The run-time error an operation raises, if any.
inline std::optional<ErrorNumber> errorOf(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return std::nullopt;
}

} // namespace zanfiro::test
