// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runtime_error.h"

#include <limits>

namespace zanfiro {

std::string errorDescription(ErrorNumber number)
{
    switch (number) {
    case ErrorNumber::Overflow: return "Overflow";
    case ErrorNumber::BadFileNameOrNumber: return "Nome o numero di file non valido";
    case ErrorNumber::FileNotFound: return "Impossibile trovare il file";
    case ErrorNumber::DeviceIoError: return "Errore di I/O sulla periferica";
    case ErrorNumber::DiskFull: return "Disco pieno";
    case ErrorNumber::PermissionDenied: return "Autorizzazione negata";
    case ErrorNumber::PathNotFound: return "Impossibile trovare il percorso";
    case ErrorNumber::PathFileAccessError: return "Errore di accesso al percorso/file";
    }
    return "Errore sconosciuto";
}

RuntimeError::RuntimeError(ErrorNumber number, std::string detail)
    : std::runtime_error(errorDescription(number)), m_number(number), m_detail(std::move(detail))
{
}

std::string RuntimeError::boxText() const
{
    std::string text = "Errore di run-time '" + std::to_string(static_cast<int>(m_number)) + "':\n\n"
        + errorDescription(m_number);
    if (!m_detail.empty())
        text += "\n\n" + m_detail;
    return text;
}

std::int16_t toInt16(long long value)
{
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        throw RuntimeError(ErrorNumber::Overflow);
    return static_cast<std::int16_t>(value);
}

std::int16_t addInt16(std::int16_t a, long long b)
{
    return toInt16(static_cast<long long>(a) + b);
}

} // namespace zanfiro
