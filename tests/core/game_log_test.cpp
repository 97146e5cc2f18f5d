// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's log: its bytes, one line for each way a game ends, and a log that can never cost
// the pupil anything.
#include <gmock/gmock.h>
#include <gtest/gtest.h>


#include "app/runtime_error.h"
#include "app/tavola.h"
#include "record/game_log.h"
#include "record_fixture.h"
#include "scripted_host.h"

using namespace zanfiro;
using namespace zanfiro::test;
using test::ProgramEnded;
using test::ScriptedHost;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

const std::string header = "\xEF\xBB\xBFInizio;Fine;Nome;Punteggio;Colpiti;Errori;Come \xC3\xA8 finita;Record;Divisore;Minuti\r\n";

TEST(GameLogBytes, OneGameIsTheHeaderThenOneLine)
{
    FinishedGame game;
    game.start = "2026-12-07 09:15:02";
    game.end = "2026-12-07 09:20:03";
    game.name = "Nicolò";
    game.score = -2;
    game.hits = 2;
    game.misses = 1;
    game.how = GameEnd::Clock;
    game.record = true;
    EXPECT_EQ(gameLogHeader() + gameLogLine(game),
        header + "2026-12-07 09:15:02;2026-12-07 09:20:03;Nicol\xC3\xB2;-2;2;1;tempo scaduto;s\xC3\xAC;5;5\r\n");
}

class NameField : public ::testing::TestWithParam<std::pair<std::string, std::string>> { };

// A name stays in its own cell and is never run as a formula.
TEST_P(NameField, IsQuotedOrNeutralisedAsNeeded)
{
    FinishedGame game;
    game.name = GetParam().first;
    EXPECT_EQ(gameLogLine(game), ";;" + GetParam().second + ";0;0;0;uscita;no;5;5\r\n");
}

INSTANTIATE_TEST_SUITE_P(Names, NameField,
    ::testing::Values(std::pair{"Anna", "Anna"}, std::pair{"", ""}, std::pair{"Anna; Bis", "\"Anna; Bis\""},
        std::pair{"Anna \"la rossa\"", "\"Anna \"\"la rossa\"\"\""}, std::pair{"A\r\nB", "\"A\r\nB\""},
        std::pair{"=1+2", "'=1+2"}, std::pair{"+39 333", "'+39 333"}, std::pair{"-Anna", "'-Anna"},
        std::pair{"@SUM(A1)", "'@SUM(A1)"}, std::pair{"=A1;B", "\"'=A1;B\""}, std::pair{"Anna=1", "Anna=1"},
        std::pair{"Rossi, Anna", "\"Rossi, Anna\""}, std::pair{"Anna\tBea", "\"Anna\tBea\""},
        std::pair{" =1+1", "' =1+1"}, std::pair{"\r\n=1+1", "\"'\r\n=1+1\""}, std::pair{"\tAnna", "\"'\tAnna\""},
        std::pair{"  Anna", "  Anna"}));

class GameLog : public ::testing::Test {
protected:
    GameLog()
    {
        host.logOn = true;
        host.names = {"Zoë", "Bea"};
        tavola.start();
    }

    int end(Tavola::Handler handler)
    {
        return endStatus([&] { tavola.dispatch(handler); });
    }

    // The log's lines after the header, without their CR LF.
    std::vector<std::string> lines()
    {
        std::string bytes = host.files[logPath];
        EXPECT_EQ(bytes.rfind(header, 0), 0U) << "a new log begins with the byte order mark and the header";
        std::vector<std::string> out;
        for (std::size_t at = header.size(); at < bytes.size();) {
            const std::size_t next = bytes.find("\r\n", at);
            out.push_back(bytes.substr(at, next - at));
            at = next + 2;
        }
        return out;
    }

    ScriptedHost host;
    Tavola tavola{host};
};

TEST_F(GameLog, ALineHoldsTimesNameScoreHitsMissesTheEndAndTheRecord)
{
    for (const Tavola::Handler click : {&Tavola::paricmd_Click, &Tavola::paricmd1_Click, &Tavola::paricmd2_Click,
             &Tavola::paricmd_Click, &Tavola::disparicmd_Click, &Tavola::paricmd1_Click})
        end(click);
    EXPECT_EQ(end(&Tavola::cmdExit_Click), 0);
    ASSERT_EQ(lines().size(), 1U);
    const std::string line = lines()[0];
    // Two local times, "2026-12-07 09:15:02", then the rest.
    const auto isTime = [](const std::string& text) {
        const std::string shape = "dddd-dd-dd dd:dd:dd";
        if (text.size() != shape.size())
            return false;
        for (std::size_t i = 0; i < shape.size(); ++i)
            if (shape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != shape[i])
                return false;
        return true;
    };
    EXPECT_TRUE(isTime(line.substr(0, 19))) << line;
    EXPECT_TRUE(isTime(line.substr(20, 19))) << line;
    EXPECT_EQ(line.substr(19, 1) + line.substr(39), ";;Zoë;1;5;1;uscita;sì;5;5");
}

// The record and its log line are written in one hold of the lock, which an exit takes once.
TEST_F(GameLog, ARecordAndItsLineShareOneHoldOfTheLock)
{
    const std::size_t holdsAtLoad = host.entries("lock|").size();
    tavola.ctl(Ctl::Punteggio).caption = " 2";
    EXPECT_EQ(end(&Tavola::cmdExit_Click), 0);
    EXPECT_EQ(host.entries("lock|").size(), holdsAtLoad + 1);
    const auto tail = std::find(host.log.rbegin(), host.log.rend(), "unlock");
    ASSERT_NE(tail, host.log.rend());
    EXPECT_EQ(*std::next(tail), "append|" + logPath) << "the line goes in before the lock does";
    EXPECT_EQ(host.boxesWhileLocked, 0);
}

TEST_F(GameLog, EachWayAGameEndsHasItsOwnWords)
{
    host.answers = {answer::yes};
    end(&Tavola::Next_Click);
    int status = -1;
    for (int tick = 0; tick < 400 && status == -1; ++tick)
        status = end(&Tavola::Timer1_Timer);
    EXPECT_EQ(status, 0);
    const auto all = lines();
    ASSERT_EQ(all.size(), 2U);
    EXPECT_THAT(all[0], HasSubstr(";Zoë;0;0;0;nuova gara;no"));
    EXPECT_THAT(all[1], HasSubstr(";Bea;0;0;0;tempo scaduto;no"));
}

TEST_F(GameLog, TheCloseBoxIsLoggedAndWritesNoRecord)
{
    tavola.ctl(Ctl::Punteggio).caption = " 3";
    tavola.state().score = 3;
    EXPECT_EQ(end(&Tavola::closeBox), 0);
    ASSERT_EQ(lines().size(), 1U);
    EXPECT_THAT(lines()[0], HasSubstr(";Zoë;3;0;0;finestra chiusa;no"));
    EXPECT_EQ(host.files[folder + "/azanfiro.txt"], "");
}

TEST_F(GameLog, ALaterGameAddsALineAndNoSecondHeader)
{
    host.files[logPath] = header + "vecchia;riga\r\n";
    end(&Tavola::cmdExit_Click);
    EXPECT_EQ(host.files[logPath].rfind(header + "vecchia;riga\r\n", 0), 0U);
    EXPECT_EQ(lines().size(), 2U);
}

// The pupil sees the same boxes and the record files get the same bytes, log or no log, even
// when the log cannot be written.
TEST_F(GameLog, ALogThatCannotBeWrittenChangesNothingForThePupil)
{
    ScriptedHost quiet;
    quiet.names = {"Zoë"};
    Tavola other(quiet);
    other.start();
    host.faults[{"append", logPath}] = ErrorNumber::DiskFull;
    for (Tavola* game : {&tavola, &other})
        game->ctl(Ctl::Punteggio).caption = " 4";
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(end(&Tavola::cmdExit_Click), 0);
    const std::string console = ::testing::internal::GetCapturedStderr();
    EXPECT_THROW(other.dispatch(&Tavola::cmdExit_Click), ProgramEnded);
    EXPECT_EQ(host.entries("box"), quiet.entries("box"));
    EXPECT_EQ(host.files[folder + "/azanfiro.txt"], quiet.files[folder + "/azanfiro.txt"]);
    EXPECT_EQ(host.files[folder + "/zanfiro.txt"], "Zo\xEB\r\n");
    EXPECT_EQ(std::count(console.begin(), console.end(), '\n'), 1) << console;
    EXPECT_THAT(console, HasSubstr("partite.csv"));
}

TEST_F(GameLog, TurnedOffItIsNeverTouched)
{
    host.logOn = false;
    end(&Tavola::cmdExit_Click);
    EXPECT_EQ(host.files.count(logPath), 0U);
    EXPECT_THAT(host.entries("append"), IsEmpty());
}

} // namespace
