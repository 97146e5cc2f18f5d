// SPDX-License-Identifier: GPL-3.0-or-later
// What the record's tests share: where the scripted host keeps a pupil's record files, and the
// status a run of the game ended with.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "scripted_host.h"

namespace zanfiro::test {

inline const std::string folder = "/home/pupil/.local/share/zanfiro/";
inline const std::string scorePath = folder + "/azanfiro.txt";
inline const std::string namePath = folder + "/zanfiro.txt";
inline const std::string markerPath = folder + "/zanfiro.commit";
inline const std::string logPath = folder + "/partite.csv";
using Pair = std::pair<std::string, std::string>;

// The status the program ended with while running the step; -1 when it did not end.
inline int endStatus(const std::function<void()>& step)
{
    try {
        step();
    } catch (const ProgramEnded& ended) {
        return ended.status;
    }
    return -1;
}

} // namespace zanfiro::test
