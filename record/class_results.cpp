// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/class_results.h"

#include <algorithm>
#include <ctime>
#include <unordered_map>

namespace zanfiro {

namespace {

constexpr std::size_t averagedGames = 5;

std::string_view trimmed(std::string_view name)
{
    const std::size_t first = name.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return name.substr(first, name.find_last_not_of(" \t") - first + 1);
}

void addFigures(PupilResults& pupil, const std::vector<LoggedGame>& games)
{
    // Oldest first; games begun at the same second keep the order of the file.
    std::stable_sort(pupil.games.begin(), pupil.games.end(),
        [&](std::size_t a, std::size_t b) { return games[a].start < games[b].start; });
    const LoggedGame* best = nullptr;
    for (const std::size_t i : pupil.games) {
        const LoggedGame& game = games[i];
        if (!best || game.score > best->score) // a tie keeps the first time it was made
            best = &game;
        pupil.hits += game.hits;
        pupil.misses += game.misses;
    }
    const LoggedGame& last = games[pupil.games.back()];
    pupil.name = std::string(trimmed(last.name));
    pupil.bestScore = best->score;
    pupil.bestWhen = best->start;
    pupil.lastScore = last.score;
    pupil.lastGame = last.start;
    const std::size_t counted = std::min(averagedGames, pupil.games.size());
    double sum = 0;
    for (std::size_t k = pupil.games.size() - counted; k < pupil.games.size(); ++k)
        sum += games[pupil.games[k]].score;
    pupil.lastFiveAverage = sum / double(counted);
    const long long clicked = pupil.hits + pupil.misses;
    pupil.accuracy = clicked > 0 ? 100.0 * double(pupil.hits) / double(clicked) : -1;
}

} // namespace

bool inPeriod(LocalTime start, Period period, LocalTime now)
{
    using namespace std::chrono;
    const local_days today = floor<days>(now);
    switch (period) {
    case Period::Today: return floor<days>(start) >= today;
    case Period::ThisWeek: return floor<days>(start) >= today - (weekday(today) - Monday);
    case Period::ThisMonth: {
        const year_month_day day(today);
        return floor<days>(start) >= local_days(day.year() / day.month() / 1);
    }
    case Period::All: return true;
    }
    return true;
}

std::vector<PupilResults> classResults(const std::vector<LoggedGame>& games, Period period, LocalTime now,
    const CaseFold& fold)
{
    std::vector<PupilResults> pupils;
    // A class has a few spellings of a few names: each is folded once, not once a game.
    std::unordered_map<std::string, std::size_t> rowOfSpelling;
    std::unordered_map<std::string, std::size_t> rowOfKey;
    for (std::size_t i = 0; i < games.size(); ++i) {
        if (!inPeriod(games[i].start, period, now))
            continue;
        auto spelling = rowOfSpelling.find(games[i].name);
        if (spelling == rowOfSpelling.end()) {
            const auto [key, fresh] = rowOfKey.try_emplace(fold(trimmed(games[i].name)), pupils.size());
            if (fresh)
                pupils.emplace_back();
            spelling = rowOfSpelling.emplace(games[i].name, key->second).first;
        }
        pupils[spelling->second].games.push_back(i);
    }
    for (PupilResults& pupil : pupils)
        addFigures(pupil, games);
    return pupils;
}

LocalTime localNow()
{
    using namespace std::chrono;
    // As the log's own dates are made (localDateTime), on the one thread that reads the clock.
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (!local)
        return {};
    const year_month_day day{year(local->tm_year + 1900), month(unsigned(local->tm_mon + 1)), std::chrono::day(unsigned(local->tm_mday))};
    return local_days(day) + hours(local->tm_hour) + minutes(local->tm_min) + seconds(local->tm_sec);
}

} // namespace zanfiro
