// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the teacher's log back: the games of partite.csv, and how many lines were not the
// game's own. Any bytes at all are read without failing: a hand-edited line, a foreign header,
// a line cut short or a spreadsheet's re-save with commas is skipped and counted.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "record/game_log.h"

namespace zanfiro {

// A local date and time as written in the log, counted in seconds like a clock that never
// changes to summer time, so games sort and fall into days the way the wall clock showed them.
using LocalTime = std::chrono::local_seconds;

struct LoggedGame {
    LocalTime start;
    LocalTime end;
    std::string name; // as typed, the formula guard taken off
    int score = 0;
    int hits = 0;
    int misses = 0;
    GameEnd how = GameEnd::Exit;
    bool record = false;
    // A log written before games could change these holds the game's own five and five.
    int divisor = 5;
    int minutes = 5;
};

struct GameLogContents {
    std::vector<LoggedGame> games; // in the order of the file
    std::size_t skippedLines = 0;
};

GameLogContents readGameLog(std::string_view bytes);

// "2026-12-07 09:15:02"; false when the text is not one real date and time.
bool parseLocalTime(std::string_view text, LocalTime& when);
std::string formatLocalTime(LocalTime when);

} // namespace zanfiro
