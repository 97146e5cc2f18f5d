// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/log_reader.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <optional>

namespace zanfiro {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view headerStart = "Inizio;Fine;Nome;Punteggio;Colpiti;Errori;Come è finita;Record";
constexpr std::size_t plainFields = 8;
constexpr std::size_t longFields = 10; // with the divisor and the minutes

// One record of the file: its fields, or nothing when its quoting is broken.
struct Row {
    std::vector<std::string> fields;
    bool wellFormed = true;
};

// Splits the record that begins at `at` (RFC 4180: a quoted field may hold ";", quotes doubled
// and line breaks) and moves `at` past its line end. A quote left open to the end of the file
// would swallow every later game, so that record ends at its first line break instead.
Row nextRow(std::string_view bytes, std::size_t& at)
{
    const std::size_t begin = at;
    Row row;
    row.fields.emplace_back();
    bool quoted = false;
    bool afterQuote = false;
    while (at < bytes.size()) {
        const char c = bytes[at++];
        if (quoted) {
            if (c != '"') {
                row.fields.back() += c;
            } else if (at < bytes.size() && bytes[at] == '"') {
                row.fields.back() += bytes[at++];
            } else {
                quoted = false;
                afterQuote = true;
            }
            continue;
        }
        if (c == ';') {
            row.fields.emplace_back();
            afterQuote = false;
        } else if (c == '\n' || (c == '\r' && at < bytes.size() && bytes[at] == '\n')) {
            at += c == '\r' ? 1 : 0;
            return row;
        } else if (afterQuote) {
            row.wellFormed = false; // text after a closing quote
        } else if (c == '"' && row.fields.back().empty()) {
            quoted = true;
        } else {
            row.fields.back() += c;
        }
    }
    if (quoted) {
        const std::size_t lineEnd = bytes.find('\n', begin);
        at = lineEnd == std::string_view::npos ? bytes.size() : lineEnd + 1;
        row.wellFormed = false;
    }
    return row;
}

bool readInt(std::string_view text, int& value, int least)
{
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    return error == std::errc() && end == last && !text.empty() && value >= least;
}

std::optional<GameEnd> endOf(std::string_view text)
{
    constexpr std::array<std::pair<std::string_view, GameEnd>, 4> ends = {{{"tempo scaduto", GameEnd::Clock},
        {"uscita", GameEnd::Exit}, {"nuova gara", GameEnd::NewGame}, {"finestra chiusa", GameEnd::CloseBox}}};
    for (const auto& [shown, how] : ends)
        if (text == shown)
            return how;
    return std::nullopt;
}

// The log puts a "'" before a name a spreadsheet would take for a formula; the pupil typed it
// without.
std::string typedName(std::string name)
{
    if (name.size() >= 2 && name[0] == '\'' && std::string_view("=+-@\t\r\n ").find(name[1]) != std::string_view::npos)
        name.erase(0, 1);
    return name;
}

std::optional<LoggedGame> gameOf(Row& row)
{
    const std::vector<std::string>& f = row.fields;
    if (!row.wellFormed || (f.size() != plainFields && f.size() != longFields))
        return std::nullopt;
    LoggedGame game;
    const std::optional<GameEnd> how = endOf(f[6]);
    if (!how || (f[7] != "sì" && f[7] != "no") || !parseLocalTime(f[0], game.start) || !parseLocalTime(f[1], game.end)
        || !readInt(f[3], game.score, -32768) || !readInt(f[4], game.hits, 0) || !readInt(f[5], game.misses, 0))
        return std::nullopt;
    if (f.size() == longFields && (!readInt(f[8], game.divisor, 1) || !readInt(f[9], game.minutes, 1)))
        return std::nullopt;
    game.how = *how;
    game.record = f[7] == "sì";
    game.name = typedName(std::move(row.fields[2]));
    return game;
}

bool isHeader(std::string_view line)
{
    if (line.substr(0, byteOrderMark.size()) == byteOrderMark)
        line.remove_prefix(byteOrderMark.size());
    return line.substr(0, headerStart.size()) == headerStart;
}

} // namespace

GameLogContents readGameLog(std::string_view bytes)
{
    GameLogContents log;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t begin = at;
        Row row = nextRow(bytes, at);
        if (row.fields.size() == 1 && row.fields[0].empty())
            continue; // an empty line
        // A header where a file begins, or again where two logs were joined, is no game and no fault.
        if (isHeader(bytes.substr(begin, at - begin)))
            continue;
        if (std::optional<LoggedGame> game = gameOf(row))
            log.games.push_back(std::move(*game));
        else
            ++log.skippedLines;
    }
    return log;
}

bool parseLocalTime(std::string_view text, LocalTime& when)
{
    using namespace std::chrono;
    // Every character fixed: "YYYY-MM-DD HH:MM:SS".
    constexpr std::string_view shape = "0000-00-00 00:00:00";
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i)
        if (shape[i] == '0' ? (text[i] < '0' || text[i] > '9') : text[i] != shape[i])
            return false;
    const auto number = [&](std::size_t from, std::size_t count) {
        int value = 0;
        std::from_chars(text.data() + from, text.data() + from + count, value);
        return value;
    };
    const year_month_day day{year(number(0, 4)), month(unsigned(number(5, 2))), std::chrono::day(unsigned(number(8, 2)))};
    const int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    if (!day.ok() || hour > 23 || minute > 59 || second > 59)
        return false;
    when = local_days(day) + hours(hour) + minutes(minute) + seconds(second);
    return true;
}

std::string formatLocalTime(LocalTime when)
{
    using namespace std::chrono;
    const local_days dayStart = floor<days>(when);
    const year_month_day day(dayStart);
    const hh_mm_ss time(when - dayStart);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", int(day.year()), unsigned(day.month()),
        unsigned(day.day()), int(time.hours().count()), int(time.minutes().count()), int(time.seconds().count()));
    return text;
}

} // namespace zanfiro
