// SPDX-License-Identifier: GPL-3.0-or-later
// The class's results from the teacher's log: one row per pupil, over a period.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "record/log_reader.h"

namespace zanfiro {

enum class Period { Today, ThisWeek, ThisMonth, All };

struct PupilResults {
    std::string name; // the most recent spelling
    std::vector<std::size_t> games; // indexes into the log's games, oldest first
    int bestScore = 0;
    LocalTime bestWhen;
    int lastScore = 0;
    double lastFiveAverage = 0;
    long long hits = 0;
    long long misses = 0;
    double accuracy = -1; // hits per hundred targets clicked; -1 before any click
    LocalTime lastGame;
};

// Whether a game begun at `start` falls in the period that contains `now`; weeks begin on Monday.
bool inPeriod(LocalTime start, Period period, LocalTime now);

// Folds a name's case for matching; the name comes trimmed.
using CaseFold = std::function<std::string(std::string_view)>;

// One row per pupil with a game begun in the period, in the order of their first game. Names
// match ignoring the case (as `fold` folds it) and the spaces around them; accents count.
std::vector<PupilResults> classResults(const std::vector<LoggedGame>& games, Period period, LocalTime now,
    const CaseFold& fold);

LocalTime localNow();

} // namespace zanfiro
