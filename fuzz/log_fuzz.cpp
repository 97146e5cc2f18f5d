// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the teacher's window's reading of the game log and to the figures
// made from it. Whatever the bytes, nothing may crash or hang; every line is either a game or
// one skipped line, and every game read makes the same game when written back and read again
// (but for a name that itself begins with "'", which the log cannot tell from a guarded one).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "record/class_results.h"
#include "record/log_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zanfiro;
    const GameLogContents log = readGameLog(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const LoggedGame& game : log.games) {
        if (game.hits < 0 || game.misses < 0 || game.divisor < 1 || game.minutes < 1)
            std::abort();
        if (!game.name.empty() && game.name.front() == '\'')
            continue;
        const GameLogContents again = readGameLog(gameLogLine({formatLocalTime(game.start), formatLocalTime(game.end),
            game.name, game.score, game.hits, game.misses, game.how, game.record}));
        if (again.games.size() != 1 || again.games[0].name != game.name || again.games[0].start != game.start)
            std::abort();
    }
    std::size_t counted = 0;
    for (const PupilResults& pupil : classResults(log.games, Period::All, localNow(), [](std::string_view s) { return std::string(s); }))
        counted += pupil.games.size();
    if (counted != log.games.size())
        std::abort();
    return 0;
}
