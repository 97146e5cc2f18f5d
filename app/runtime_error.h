// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace zanfiro {

// Error numbers the game can raise; the numbering follows the classic BASIC run-time errors
// so a teacher who reports "errore 6" can be understood.
enum class ErrorNumber : int {
    Overflow = 6,
    BadFileNameOrNumber = 52,
    FileNotFound = 53,
    DeviceIoError = 57,
    DiskFull = 61,
    PermissionDenied = 70,
    PathNotFound = 76,
    PathFileAccessError = 75,
};

// Italian description shown in the run-time error box.
std::string errorDescription(ErrorNumber number);

// A run-time error: it stops the handler that met it and, through the dispatcher, the program.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(ErrorNumber number, std::string detail = {});
    ErrorNumber number() const { return m_number; }
    const std::string& detail() const { return m_detail; }
    // "Errore di run-time '6':\n\nOverflow" plus the detail on a line of its own.
    std::string boxText() const;

private:
    ErrorNumber m_number;
    std::string m_detail;
};

// The game's integers are signed 16-bit: leaving -32768..32767 is an overflow error, never a wrap.
std::int16_t toInt16(long long value);
std::int16_t addInt16(std::int16_t a, long long b);

} // namespace zanfiro
