// SPDX-License-Identifier: GPL-3.0-or-later
// What the record folder's calls share on every system.
#include "record/disk.h"

#include <chrono>
#include <random>

namespace zanfiro::disk {

std::string uniqueNamePart()
{
    thread_local std::mt19937_64 random(std::random_device{}()
        ^ std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::uint64_t value = random();
    std::string text;
    do {
        text += "0123456789abcdefghijklmnopqrstuvwxyz"[value % 36];
        value /= 36;
    } while (value);
    return text;
}

} // namespace zanfiro::disk
