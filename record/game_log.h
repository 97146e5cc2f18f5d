// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's log: one line for every game that ends, in a CSV file beside the record files
// that spreadsheets open as they are with an Italian locale (";" between fields, UTF-8 with a
// byte order mark, CR LF, a header row). It holds names and results, and nothing else.
#pragma once

#include <ctime>
#include <string>

#include "app/host.h"

namespace zanfiro {

inline constexpr const char* gameLogFile = "partite.csv";

enum class GameEnd { Clock, Exit, NewGame, CloseBox };

struct FinishedGame {
    std::string start; // local date and time, "2026-12-07 09:15:02"
    std::string end;
    std::string name;
    int score = 0;
    int hits = 0;
    int misses = 0;
    GameEnd how = GameEnd::Exit;
    bool record = false;
    int divisor = 5; // the table played and the game's length, on every line
    int minutes = 5;
};

// What a new log file begins with: the byte order mark and the header row.
std::string gameLogHeader();
// One whole line, CR LF included.
std::string gameLogLine(const FinishedGame& game);
std::string localDateTime(std::time_t when);

// Adds the game's line, beginning a new or empty file with the header; the caller holds the
// record lock. A log that cannot be written costs one line on the console and nothing else: it
// never throws.
void addToGameLog(Host& host, const std::string& folder, const FinishedGame& game);
// The same, taking the record lock for the line.
void appendToGameLog(Host& host, const std::string& folder, const FinishedGame& game);

} // namespace zanfiro
