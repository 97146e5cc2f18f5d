// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/game_log.h"

#include <cstdio>
#include <iterator>

#include "app/runtime_error.h"
#include "app/tavola.h"

namespace zanfiro {

namespace {

constexpr const char* separator = ";";
constexpr const char* lineEnd = "\r\n";
constexpr const char* byteOrderMark = "\xEF\xBB\xBF";

const char* endText(GameEnd how)
{
    switch (how) {
    case GameEnd::Clock: return "tempo scaduto";
    case GameEnd::Exit: return "uscita";
    case GameEnd::NewGame: return "nuova gara";
    case GameEnd::CloseBox: return "finestra chiusa";
    }
    return "";
}

// A name a spreadsheet would take for a formula is shown as text, spaces or line breaks in front
// of it included, and a field that a spreadsheet's import could split (";", ",", a tab, a quote, a
// line break) is quoted the usual CSV way, so a pupil's name stays in its own cell.
std::string textField(std::string text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    const bool formula = first != std::string::npos && std::string("=+-@").find(text[first]) != std::string::npos;
    if (formula || (!text.empty() && std::string("\t\r\n").find(text.front()) != std::string::npos))
        text = "'" + text;
    if (text.find_first_of(";,\t\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace

std::string gameLogHeader()
{
    return std::string(byteOrderMark) + "Inizio;Fine;Nome;Punteggio;Colpiti;Errori;Come è finita;Record;Divisore;Minuti" + lineEnd;
}

std::string gameLogLine(const FinishedGame& game)
{
    const std::string fields[] = {textField(game.start), textField(game.end), textField(game.name),
        std::to_string(game.score), std::to_string(game.hits), std::to_string(game.misses), endText(game.how),
        game.record ? "sì" : "no", std::to_string(game.divisor), std::to_string(game.minutes)};
    std::string line = fields[0];
    for (std::size_t i = 1; i < std::size(fields); ++i)
        line += separator + fields[i];
    return line + lineEnd;
}

std::string localDateTime(std::time_t when)
{
    char text[32] = {};
    const std::tm* local = std::localtime(&when);
    if (!local || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local) == 0)
        return {};
    return text;
}

void addToGameLog(Host& host, const std::string& folder, const FinishedGame& game)
{
    if (!host.gameLogOn())
        return;
    const std::string path = folder + "/" + gameLogFile;
    try {
        host.appendLine(path, gameLogLine(game), gameLogHeader());
    } catch (const RuntimeError& error) {
        std::fprintf(stderr, "zanfiro: partita non registrata in %s: %s\n", path.c_str(), error.what());
    }
}

void appendToGameLog(Host& host, const std::string& folder, const FinishedGame& game)
{
    if (!host.gameLogOn())
        return;
    try {
        host.underRecordLock(folder, [&] { addToGameLog(host, folder, game); }, false);
    } catch (const RuntimeError& error) {
        std::fprintf(stderr, "zanfiro: partita non registrata in %s: %s\n", folder.c_str(), error.what());
    }
}

std::optional<FinishedGame> Tavola::finishedGame(GameEnd how, bool recordSet)
{
    // Only a game that has been loaded, with its record folder found, has anything to tell.
    if (!loaded() || m_state.windowsDir.empty())
        return std::nullopt;
    FinishedGame game;
    game.start = localDateTime(m_tally.start);
    game.end = localDateTime(std::time(nullptr));
    game.name = m_loaded->controls[index(Ctl::lblnome1)].caption;
    game.score = m_state.score;
    game.hits = m_tally.hits;
    game.misses = m_tally.misses;
    game.how = how;
    game.record = recordSet;
    game.divisor = m_rules.divisor;
    game.minutes = m_rules.minutes;
    return game;
}

void Tavola::logGame(GameEnd how)
{
    if (const std::optional<FinishedGame> game = finishedGame(how, false))
        appendToGameLog(m_host, m_state.windowsDir, *game);
}

void Tavola::logGameUnderLock(GameEnd how, bool recordSet)
{
    if (const std::optional<FinishedGame> game = finishedGame(how, recordSet))
        addToGameLog(m_host, m_state.windowsDir, *game);
}

void Tavola::closeBox()
{
    logGame(GameEnd::CloseBox);
    m_host.endProgram(0);
}

} // namespace zanfiro
