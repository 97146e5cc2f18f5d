// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's desk in the core: reading the log back (what is a game, what is skipped), the
// per-pupil figures over a period, and the record's reset.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/runtime_error.h"
#include "record/class_record.h"
#include "record/class_results.h"
#include "record/log_reader.h"
#include "scripted_host.h"

using namespace zanfiro;

namespace {

const std::string header = "\xEF\xBB\xBFInizio;Fine;Nome;Punteggio;Colpiti;Errori;Come è finita;Record\r\n";
const std::string good = "2026-12-07 09:15:02;2026-12-07 09:20:03;";

struct LineCase {
    std::string line;
    const char* name; // nullptr: skipped
};

class LogLine : public ::testing::TestWithParam<LineCase> { };

// Each line after the header, and a good line after it, which must always be read.
TEST_P(LogLine, IsOneGameOrOneSkippedLine)
{
    const LineCase& c = GetParam();
    const GameLogContents log = readGameLog(header + c.line + good + "Zeno;1;1;0;uscita;no\r\n");
    ASSERT_FALSE(log.games.empty());
    EXPECT_EQ(log.games.back().name, "Zeno");
    EXPECT_EQ(log.skippedLines, c.name ? 0u : 1u);
    EXPECT_EQ(log.games.size(), c.name ? 2u : 1u);
    if (c.name) {
        EXPECT_EQ(log.games.front().name, c.name);
    }
}

INSTANTIATE_TEST_SUITE_P(Reader, LogLine, ::testing::Values(
    LineCase{good + "Anna;12;13;0;tempo scaduto;sì\r\n", "Anna"},
    LineCase{good + "Anna;12;13;0;tempo scaduto;sì\n", "Anna"},
    LineCase{good + "\"a;b \"\"c\"\"\r\nd\";-4;0;1;nuova gara;no\r\n", "a;b \"c\"\r\nd"},
    LineCase{good + "'=1+1;0;0;0;finestra chiusa;no\r\n", "=1+1"},
    LineCase{good + "' anna;0;0;0;uscita;no\r\n", " anna"},
    LineCase{good + "'Ada;0;0;0;uscita;no\r\n", "'Ada"},
    LineCase{good + "Anna;3;3;0;uscita;no;7;2\r\n", "Anna"},
    LineCase{"2026-12-07 09:15:02,2026-12-07 09:20:03,Anna,12,13,0,tempo scaduto,sì\r\n", nullptr},
    LineCase{"2026-02-30 09:15:02;2026-12-07 09:20:03;Anna;1;1;0;uscita;no\r\n", nullptr},
    LineCase{"2026-12-07 9:15:02;2026-12-07 09:20:03;Anna;1;1;0;uscita;no\r\n", nullptr},
    LineCase{good + "Anna;1x;1;0;uscita;no\r\n", nullptr},
    LineCase{good + "Anna;1;-1;0;uscita;no\r\n", nullptr},
    LineCase{good + "Anna;99999999999;1;0;uscita;no\r\n", nullptr},
    LineCase{good + "Anna;1;1;0;finita;no\r\n", nullptr},
    LineCase{good + "Anna;1;1;0;uscita;forse\r\n", nullptr},
    LineCase{good + "Anna;1;1;0;uscita\r\n", nullptr},
    LineCase{good + "Anna;1;1;0;uscita;no;0;5\r\n", nullptr},
    LineCase{good + "\"An\"na;1;1;0;uscita;no\r\n", nullptr},
    LineCase{"Data;Alunno;Punti\r\n", nullptr}));

TEST(LogReader, AQuoteLeftOpenCostsOneLineAndTheHeaderMayRepeat)
{
    const GameLogContents log = readGameLog("Inizio;Fine;Nome;Punteggio;Colpiti;Errori;Come è finita;Record;Divisore;Minuti\n"
        + good + "\"Anna;1;1;0;uscita;no\n\r\n" + header + good + "Bea;2;2;0;uscita;no;5;5\n" + good + "Cut;1;1");
    ASSERT_EQ(log.games.size(), 1u);
    EXPECT_EQ(log.games[0].name, "Bea");
    EXPECT_EQ(log.skippedLines, 2u);
}

// The writer's own lines read back as they were written, whatever the name.
TEST(LogReader, ReadsBackWhatTheGameWrites)
{
    std::string bytes = gameLogHeader();
    const std::vector<std::string> names = {"=SUM(A1)", "-3", "+39 333", "@tutti", "\tTab", "a;b", "qu\"ote", "x\r\ny", "Niccolò"};
    for (const std::string& name : names)
        bytes += gameLogLine({"2026-12-07 09:15:02", "2026-12-07 09:20:03", name, -8, 1, 3, GameEnd::NewGame, true});
    const GameLogContents log = readGameLog(bytes);
    ASSERT_EQ(log.games.size(), names.size());
    EXPECT_EQ(log.skippedLines, 0u);
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(log.games[i].name, names[i]);
        EXPECT_EQ(log.games[i].score, -8);
        EXPECT_EQ(formatLocalTime(log.games[i].end), "2026-12-07 09:20:03");
    }
}

LocalTime at(const char* text)
{
    LocalTime when;
    EXPECT_TRUE(parseLocalTime(text, when)) << text;
    return when;
}

std::string asciiFold(std::string_view name)
{
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return folded;
}

LoggedGame game(const char* start, const char* name, int score, int hits = 0, int misses = 0)
{
    LoggedGame g;
    g.start = g.end = at(start);
    g.name = name;
    g.score = score;
    g.hits = hits;
    g.misses = misses;
    return g;
}

// Wednesday 9 December 2026: the week began on Monday the 7th, the month on the 1st.
TEST(ClassResults, OneRowPerPupilWithTheFiguresOfThePeriod)
{
    const std::vector<LoggedGame> games = {
        game("2026-12-09 10:00:00", "anna", 3, 3, 0),
        game("2026-11-30 10:00:00", "Anna", 9, 9, 0),
        game("2026-12-01 10:00:00", " ANNA ", 9, 10, 1),
        game("2026-12-07 00:00:00", "Anna", -4, 0, 1),
        game("2026-12-08 10:00:00", "Anna", 5, 5, 0),
        game("2026-12-09 09:00:00", "Anna", 1, 1, 0),
        game("2026-12-06 23:59:59", "Niccolò", 0),
        game("2026-12-09 08:00:00", "Niccolo", 2, 2, 0),
    };
    const LocalTime now = at("2026-12-09 12:00:00");
    const auto rows = [&](Period period) { return classResults(games, period, now, asciiFold); };

    const std::vector<PupilResults> all = rows(Period::All);
    ASSERT_EQ(all.size(), 3u);
    const PupilResults& anna = all[0];
    EXPECT_EQ(anna.name, "anna"); // the latest game's spelling, the file's order aside
    EXPECT_EQ(anna.games.size(), 6u);
    EXPECT_EQ(anna.bestScore, 9);
    EXPECT_EQ(formatLocalTime(anna.bestWhen), "2026-11-30 10:00:00"); // the first time it was made
    EXPECT_EQ(anna.lastScore, 3);
    EXPECT_DOUBLE_EQ(anna.lastFiveAverage, (9 - 4 + 5 + 1 + 3) / 5.0);
    EXPECT_EQ(anna.hits, 28);
    EXPECT_EQ(anna.misses, 2);
    EXPECT_DOUBLE_EQ(anna.accuracy, 100.0 * 28 / 30);
    EXPECT_EQ(formatLocalTime(anna.lastGame), "2026-12-09 10:00:00");
    EXPECT_EQ(all[1].name, "Niccolò"); // an accent makes another pupil
    EXPECT_DOUBLE_EQ(all[1].accuracy, -1);
    EXPECT_EQ(all[2].name, "Niccolo");

    const auto counts = [&](Period period) {
        std::vector<std::size_t> n;
        for (const PupilResults& p : rows(period))
            n.push_back(p.games.size());
        return n;
    };
    EXPECT_EQ(counts(Period::ThisMonth), (std::vector<std::size_t>{5, 1, 1}));
    EXPECT_EQ(counts(Period::ThisWeek), (std::vector<std::size_t>{4, 1}));
    EXPECT_EQ(counts(Period::Today), (std::vector<std::size_t>{2, 1}));
}

TEST(ClassRecordReset, EmptiesTheNamedPairOrNothing)
{
    test::ScriptedHost host;
    const RecordPaths paths = recordPaths(host.recordFolder);
    const std::string score = paths.score, name = paths.name;
    host.files = {{score, " 12\r\n"}, {name, "Anna\r\n"}};
    const ClassRecord record = readClassRecord(host, paths);
    EXPECT_EQ(record.score, " 12");
    EXPECT_EQ(record.name, "Anna");

    EXPECT_FALSE(resetClassRecord(host, paths, {" 13", "Bea"})); // a newer record than the one named
    host.readOnly = {name};
    EXPECT_THROW(resetClassRecord(host, paths, record), RuntimeError);
    EXPECT_EQ(host.files[score], " 12\r\n");
    EXPECT_EQ(host.files[name], "Anna\r\n");
    host.readOnly.clear();
    host.lockError = ErrorNumber::PermissionDenied;
    EXPECT_THROW(resetClassRecord(host, paths, record), RuntimeError);
    host.lockError.reset();
    EXPECT_TRUE(resetClassRecord(host, paths, record));
    EXPECT_EQ(host.files[score], "");
    EXPECT_EQ(host.files[name], "");
    EXPECT_FALSE(readClassRecord(host, paths).any());
}

} // namespace
