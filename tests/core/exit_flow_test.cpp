// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/runtime_error.h"
#include "app/tavola.h"
#include "record_fixture.h"
#include "scripted_host.h"

using namespace zanfiro;
using namespace zanfiro::test;
using test::ProgramEnded;
using test::ScriptedHost;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const std::string goodbyeBox = "box|           Ciao a presto.|0|Zanfiro";
const std::string congratulationBox = "box|Ok ho registrato il tuo record, C A M P I O N E\"|0|Zanfiro";

// A game loaded over the given record files, ended by Exit with the given score caption.
class ExitFlow : public ::testing::Test {
protected:
    void load(const std::string& score, const std::string& name = "Anna\r\n")
    {
        host.files[scorePath] = score;
        host.files[namePath] = name;
        host.names = {"Anna"};
        tavola.start();
        logFrom = host.log.size();
    }

    int exitWith(const std::string& punteggio)
    {
        tavola.ctl(Ctl::Punteggio).caption = punteggio;
        const int status = endStatus([&] { tavola.dispatch(&Tavola::cmdExit_Click); });
        if (status == -1)
            ADD_FAILURE() << "the exit flow returned";
        return status;
    }

    std::vector<std::string> exitLog(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (std::size_t i = logFrom; i < host.log.size(); ++i)
            if (host.log[i].rfind(prefix, 0) == 0)
                out.push_back(host.log[i]);
        return out;
    }

    // What the next start of the game finds, as a pupil would see it.
    std::pair<std::string, std::string> nextLoad()
    {
        ScriptedHost next;
        next.files = host.files;
        Tavola game(next);
        game.start();
        EXPECT_EQ(next.files.size(), 2U) << "a temporary was left behind";
        host.files = next.files;
        return {game.ctl(Ctl::lblpunti).caption, game.ctl(Ctl::lblnome).caption};
    }

    ScriptedHost host;
    Tavola tavola{host};
    std::size_t logFrom = 0;
};

struct Written {
    std::string punteggio;
    std::string name;
    std::string scoreBytes;
    std::string nameBytes;
};

void PrintTo(const Written& written, std::ostream* out) { *out << ::testing::PrintToString(written.punteggio + "/" + written.name); }

class RecordBytes : public ExitFlow, public ::testing::WithParamInterface<Written> { };

TEST_P(RecordBytes, StoresTheCaptionsInWindows1252WithCrLf)
{
    load("");
    tavola.ctl(Ctl::lblnome1).caption = GetParam().name;
    EXPECT_EQ(exitWith(GetParam().punteggio), 0);
    EXPECT_EQ(host.files[scorePath], GetParam().scoreBytes);
    EXPECT_EQ(host.files[namePath], GetParam().nameBytes);
    EXPECT_THAT(exitLog("box"), ElementsAre(goodbyeBox, congratulationBox));
    EXPECT_EQ(host.log.back(), "end|0");
    EXPECT_EQ(host.files.size(), 2U);
}

INSTANTIATE_TEST_SUITE_P(Records, RecordBytes,
    ::testing::Values(Written{" 12", "Anna", " 12\r\n", "Anna\r\n"}, Written{"9", "Anna", "9\r\n", "Anna\r\n"},
        Written{" 1", "", " 1\r\n", "\r\n"}, Written{" 3", "Nicolò È", " 3\r\n", "Nicol\xF2 \xC8\r\n"},
        Written{" 4", "Zoë 😀", " 4\r\n", "Zo\xEB ?\r\n"}, Written{" 5", "Œ€", " 5\r\n", "\x8C\x80\r\n"},
        Written{" 6", "<b>Anna</b>", " 6\r\n", "<b>Anna</b>\r\n"}));

TEST_F(ExitFlow, CongratulatesOnlyOnceBothFilesAreInPlace)
{
    load("");
    exitWith(" 7");
    const std::vector<std::string> tail(host.log.begin() + static_cast<long>(logFrom), host.log.end());
    const auto at = [&](const std::string& entry) { return std::find(tail.begin(), tail.end(), entry) - tail.begin(); };
    EXPECT_LT(at("replace|" + namePath + ".new.2|" + namePath), at(congratulationBox));
    EXPECT_LT(at("replace|" + scorePath + ".new.1|" + scorePath), at(congratulationBox));
    EXPECT_LT(at("unlock"), at(congratulationBox)) << "no box opens while the lock is held";
    EXPECT_EQ(tavola.state().exitDelay, 1001);
    EXPECT_EQ(tavola.state().recordText, "Anna");
    EXPECT_EQ(nextLoad(), Pair(" 7\r\n", "Anna\r\n"));
}

struct Contest {
    std::string stored;
    std::string punteggio;
    bool written;
};

void PrintTo(const Contest& contest, std::ostream* out) { *out << ::testing::PrintToString(contest.stored + " vs " + contest.punteggio); }

class StrictlyBetter : public ExitFlow, public ::testing::WithParamInterface<Contest> { };

TEST_P(StrictlyBetter, OnlyAHigherScoreIsWritten)
{
    load(GetParam().stored, "Bruno\r\n");
    EXPECT_EQ(exitWith(GetParam().punteggio), 0);
    const bool written = host.files[namePath] == "Anna\r\n";
    EXPECT_EQ(written, GetParam().written);
    EXPECT_EQ(host.files[scorePath], written ? GetParam().punteggio + "\r\n" : GetParam().stored);
    EXPECT_EQ(exitLog("box").size(), written ? 2U : 1U);
    EXPECT_EQ(exitLog("stage").empty(), !written);
}

INSTANTIATE_TEST_SUITE_P(Scores, StrictlyBetter,
    ::testing::Values(Contest{"", " 1", true}, Contest{"", "0", false}, Contest{"", "-4", false},
        Contest{" 12\r\n", " 12", false}, Contest{" 12\r\n", " 13", true}, Contest{"12\r\n", " 13", true},
        Contest{"9\r\n", " 10", true}, Contest{"-5\r\n", "0", true}, Contest{"-5\r\n", "-8", false},
        Contest{"garbage\r\n", " 1", true}, Contest{"1" + std::string(400, '0') + "\r\n", " 32767", false},
        Contest{"-1" + std::string(400, '0') + "\r\n", "-32768", true}));

TEST_F(ExitFlow, AHigherRecordStoredSinceTheLoadIsNeverOverwritten)
{
    load("5\r\n", "Bruno\r\n");
    host.files[scorePath] = " 20\r\n"; // another copy of the game finished first
    host.files[namePath] = "Carla\r\n";
    EXPECT_EQ(exitWith(" 10"), 0);
    EXPECT_EQ(host.files[scorePath], " 20\r\n");
    EXPECT_EQ(host.files[namePath], "Carla\r\n");
    EXPECT_THAT(exitLog("box"), ElementsAre(goodbyeBox));
}

TEST_F(ExitFlow, TheShownBestStillCountsWhenTheDiskHoldsLess)
{
    load(" 20\r\n");
    host.files[scorePath] = "3\r\n";
    EXPECT_EQ(exitWith(" 10"), 0);
    EXPECT_EQ(host.files[scorePath], "3\r\n");
}

TEST_F(ExitFlow, AScoreFileGoneSinceTheLoadLeavesTheShownBest)
{
    load("5\r\n");
    host.files.erase(scorePath);
    EXPECT_EQ(exitWith(" 6"), 0);
    EXPECT_EQ(host.files[scorePath], " 6\r\n");
}

struct Fault {
    const char* op;
    std::string path;
    bool newPairAfterwards;
};

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.op << " " << fault.path.substr(folder.size()); }

class FailedWrite : public ExitFlow, public ::testing::WithParamInterface<Fault> { };

TEST_P(FailedWrite, ShowsTheErrorAndLeavesAWholePair)
{
    load(" 5\r\n", "Bruno\r\n");
    host.faults[{GetParam().op, GetParam().path}] = ErrorNumber::DiskFull;
    EXPECT_EQ(exitWith(" 9"), 1);
    const auto boxes = exitLog("box");
    ASSERT_EQ(boxes.size(), 2U);
    EXPECT_EQ(boxes[0], goodbyeBox);
    EXPECT_EQ(boxes[1].rfind("box|Errore di run-time '61':\n\nDisco pieno", 0), 0U) << boxes[1];
    if (!GetParam().newPairAfterwards) {
        EXPECT_EQ(host.files[scorePath], " 5\r\n");
        EXPECT_EQ(host.files[namePath], "Bruno\r\n");
        EXPECT_EQ(host.files.size(), 2U) << "a failed write clears up after itself";
    }
    host.faults.clear();
    const Pair expected = GetParam().newPairAfterwards ? Pair(" 9\r\n", "Anna\r\n") : Pair(" 5\r\n", "Bruno\r\n");
    EXPECT_EQ(nextLoad(), expected);
}

INSTANTIATE_TEST_SUITE_P(Steps, FailedWrite,
    ::testing::Values(Fault{"stage", scorePath, false}, Fault{"stage", namePath, false},
        Fault{"create", folder + "/zanfiro.commit", false}, Fault{"replace", scorePath, false},
        Fault{"replace", namePath, true}));

TEST_F(ExitFlow, AMarkerThatWillNotGoSpoilsNothing)
{
    load(" 5\r\n", "Bruno\r\n");
    host.faults[{"remove", folder + "/zanfiro.commit"}] = ErrorNumber::PermissionDenied;
    EXPECT_EQ(exitWith(" 9"), 0);
    EXPECT_THAT(exitLog("box"), ElementsAre(goodbyeBox, congratulationBox));
    host.faults.clear();
    EXPECT_EQ(nextLoad(), Pair(" 9\r\n", "Anna\r\n"));
}

TEST_F(ExitFlow, ARecordFileTurnedIntoAFolderIsAnError)
{
    load("");
    host.files.erase(scorePath);
    host.otherKinds = {scorePath};
    host.faults[{"replace", scorePath}] = ErrorNumber::PathFileAccessError;
    EXPECT_EQ(exitWith(" 3"), 1);
    EXPECT_EQ(host.files[namePath], "Anna\r\n") << "the name stays with the old score";
    EXPECT_EQ(host.files.size(), 1U);
}

} // namespace
