// SPDX-License-Identifier: GPL-3.0-or-later
// One record folder shared by many copies of the game: the lock, recovery that cannot be fooled
// by a failed check or a planted link, and the error box that names the file to look for.
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
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

const std::string stagedScore = scorePath + ".new.k3";
const std::string stagedName = namePath + ".new.q8";
const std::string marker = "azanfiro.txt.new.k3\r\nzanfiro.txt.new.q8\r\n";

class SharedRecord : public ::testing::Test {
protected:
    SharedRecord()
    {
        host.names = {"Anna"};
        host.files[scorePath] = " 5\r\n";
        host.files[namePath] = "Bruno\r\n";
    }

    // The status the program ended with; -1 when it did not end.
    int run(Tavola::Handler handler)
    {
        return endStatus([&] { tavola.dispatch(handler); });
    }

    int start()
    {
        return endStatus([&] { tavola.start(); });
    }

    int exitWith(const std::string& punteggio)
    {
        tavola.ctl(Ctl::Punteggio).caption = punteggio;
        return run(&Tavola::cmdExit_Click);
    }

    std::string lastBox() const { return host.entries("box").back(); }

    // What the next start, on the files this game left, shows as the record, and how many files
    // it leaves.
    std::pair<Pair, std::size_t> shownAtNextStart() const
    {
        ScriptedHost next;
        next.files = host.files;
        Tavola game(next);
        game.start();
        return {{game.ctl(Ctl::lblpunti).caption, game.ctl(Ctl::lblnome).caption}, next.files.size()};
    }
    Pair pair() { return {host.files[scorePath], host.files[namePath]}; }

    // Every file left in the folder apart from the two records.
    std::vector<std::string> leftovers() const { return host.filesOtherThan({scorePath, namePath}); }

    ScriptedHost host;
    Tavola tavola{host};
};

struct LockTrouble {
    const char* what;
    ErrorNumber error;
    bool atLoad;
    bool namesLock; // or the score file, which a full disk has no room for
};

void PrintTo(const LockTrouble& trouble, std::ostream* out) { *out << trouble.what; }

class LockNotTaken : public SharedRecord, public ::testing::WithParamInterface<LockTrouble> { };

// Past the wait the game neither hangs nor writes unlocked: the error box, naming the lock that
// could not be had (a full disk: the score file there is no room for), and the files as they were.
TEST_P(LockNotTaken, IsTheErrorBoxAndNothingIsWritten)
{
    if (GetParam().atLoad) {
        host.lockError = GetParam().error;
        EXPECT_EQ(start(), 1);
    } else {
        ASSERT_EQ(start(), -1);
        host.lockError = GetParam().error;
        EXPECT_EQ(exitWith(" 9"), 1);
    }
    const std::string number = std::to_string(static_cast<int>(GetParam().error));
    EXPECT_EQ(lastBox().rfind("box|Errore di run-time '" + number + "'", 0), 0U) << lastBox();
    EXPECT_THAT(lastBox(), HasSubstr((GetParam().namesLock ? folder + "/zanfiro.lock" : scorePath) + "|16|Zanfiro"));
    EXPECT_EQ(pair(), Pair(" 5\r\n", "Bruno\r\n"));
    EXPECT_THAT(leftovers(), IsEmpty());
    EXPECT_THAT(host.entries("stage"), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Moments, LockNotTaken,
    ::testing::Values(LockTrouble{"busy at load", ErrorNumber::PermissionDenied, true, true},
        LockTrouble{"busy at exit", ErrorNumber::PermissionDenied, false, true},
        LockTrouble{"failing at load", ErrorNumber::DeviceIoError, true, true},
        LockTrouble{"failing at exit", ErrorNumber::DiskFull, false, false}));

TEST_F(SharedRecord, AStaleLockClearedByTheHostLetsTheRecordIn)
{
    host.staleLock = true;
    ASSERT_EQ(start(), -1);
    EXPECT_EQ(exitWith(" 9"), 0);
    EXPECT_EQ(pair(), Pair(" 9\r\n", "Anna\r\n"));
}

// From reading the best on disk to the last rename, one hold of the lock, and no box inside it.
TEST_F(SharedRecord, TheWholeCommitRunsInOneHoldAndNoBoxOpensInIt)
{
    ASSERT_EQ(start(), -1);
    const std::size_t from = host.log.size();
    EXPECT_EQ(exitWith(" 9"), 0);
    std::vector<std::string> steps;
    for (std::size_t i = from; i < host.log.size(); ++i)
        for (const char* kind : {"lock", "unlock", "read|", "stage", "create", "replace", "box"})
            if (host.log[i].rfind(kind, 0) == 0)
                steps.push_back(kind);
    EXPECT_THAT(steps, ElementsAre("box", "lock", "read|", "stage", "stage", "create", "replace", "replace",
                           "unlock", "box"));
    EXPECT_EQ(host.boxesWhileLocked, 0);
}

// Another copy stopped between its two renames: this game finishes that commit before it weighs
// the best on disk, so it compares with a whole record.
TEST_F(SharedRecord, AnotherCopysHalfCommitIsFinishedBeforeTheBestIsWeighed)
{
    ASSERT_EQ(start(), -1);
    host.files[scorePath] = " 12\r\n";
    host.files[stagedName] = "Carla\r\n";
    host.files[markerPath] = marker;
    EXPECT_EQ(exitWith(" 9"), 0);
    EXPECT_EQ(pair(), Pair(" 12\r\n", "Carla\r\n"));
    EXPECT_THAT(leftovers(), IsEmpty());
}

// A read-only name file beside a writable score file: found before the commit point, so the old
// pair stays whole, nothing is staged or marked, and the next load keeps it.
TEST_F(SharedRecord, AReadOnlyNameFileLeavesTheWholeOldPair)
{
    ASSERT_EQ(start(), -1);
    host.readOnly = {namePath};
    EXPECT_EQ(exitWith(" 9"), 1);
    EXPECT_EQ(lastBox().rfind("box|Errore di run-time '70'", 0), 0U) << lastBox();
    EXPECT_THAT(lastBox(), HasSubstr(namePath + "|"));
    EXPECT_EQ(pair(), Pair(" 5\r\n", "Bruno\r\n"));
    EXPECT_THAT(leftovers(), IsEmpty());
    EXPECT_EQ(shownAtNextStart().first, Pair(" 5\r\n", "Bruno\r\n"));
}

struct FailedCheck {
    const char* what;
    const char* op;
    std::string path;
    ErrorNumber error;
};

void PrintTo(const FailedCheck& check, std::ostream* out) { *out << check.what; }

class RecoveryCheckFails : public SharedRecord, public ::testing::WithParamInterface<FailedCheck> { };

// A committed record waits at load; a check that cannot be made is the error box, never "absent":
// the record is neither dropped nor half installed, and the next start finishes it.
TEST_P(RecoveryCheckFails, IsTheErrorBoxAndTheCommitWaitsForTheNextStart)
{
    host.files[stagedScore] = " 9\r\n";
    host.files[stagedName] = "Anna\r\n";
    host.files[markerPath] = marker;
    host.faults[{GetParam().op, GetParam().path}] = GetParam().error;
    EXPECT_EQ(start(), 1);
    EXPECT_EQ(lastBox().rfind("box|Errore di run-time '" + std::to_string(static_cast<int>(GetParam().error)), 0), 0U);
    EXPECT_THAT(lastBox(), ::testing::AnyOf(HasSubstr(scorePath + "|16"), HasSubstr(namePath + "|16")));
    EXPECT_EQ(host.files.count(markerPath), 1U) << "the marker stays until the commit is done";

    const auto [shown, filesLeft] = shownAtNextStart();
    EXPECT_EQ(shown, Pair(" 9\r\n", "Anna\r\n"));
    EXPECT_EQ(filesLeft, 2U);
}

INSTANTIATE_TEST_SUITE_P(Checks, RecoveryCheckFails,
    ::testing::Values(FailedCheck{"the marker's kind", "kind", markerPath, ErrorNumber::DeviceIoError},
        FailedCheck{"the marker's bytes", "readown", markerPath, ErrorNumber::DeviceIoError},
        FailedCheck{"the staged score", "kind", stagedScore, ErrorNumber::PermissionDenied},
        FailedCheck{"the staged name", "kind", stagedName, ErrorNumber::DeviceIoError},
        FailedCheck{"the name's replacement", "replace", namePath, ErrorNumber::DiskFull}));

// Links planted where the game keeps its own files lead nowhere: none is read, written through
// or made to exist, whether it leads to a file or to nothing.
struct Planted {
    const char* what;
    std::string at;
    bool live;
};

void PrintTo(const Planted& planted, std::ostream* out) { *out << planted.what << (planted.live ? ", live" : ", dangling"); }

class PlantedLink : public SharedRecord, public ::testing::WithParamInterface<Planted> {
protected:
    const std::string victim = "/home/pupil/diario.txt";
};

TEST_P(PlantedLink, IsNeitherFollowedNorCreated)
{
    if (GetParam().live)
        host.files[victim] = "caro diario\r\n";
    host.links[GetParam().at] = victim;
    ASSERT_EQ(start(), -1);
    EXPECT_EQ(exitWith(" 9"), 0);
    EXPECT_EQ(pair(), Pair(" 9\r\n", "Anna\r\n"));
    EXPECT_EQ(host.files.count(victim), GetParam().live ? 1U : 0U);
    if (GetParam().live) {
        EXPECT_EQ(host.files[victim], "caro diario\r\n");
    }
    EXPECT_THAT(host.entries("readown|" + GetParam().at), IsEmpty());
    EXPECT_THAT(host.entries("read|" + GetParam().at), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Places, PlantedLink,
    ::testing::Values(Planted{"the marker", markerPath, false}, Planted{"the marker", markerPath, true},
        Planted{"a staged score", scorePath + ".new.1", false}, Planted{"a staged score", scorePath + ".new.1", true},
        Planted{"a staged name", namePath + ".new.2", false}, Planted{"a staged name", namePath + ".new.2", true},
        Planted{"the old staged score", scorePath + ".new", true},
        Planted{"the old staged name", namePath + ".new", false}));

// A marker that names a link instead of a staged file: the link is not put in place of the record.
TEST_F(SharedRecord, AMarkerNamingALinkIsAnErrorNotARecord)
{
    host.files["/etc/passwd"] = "root:x:0:0\n";
    host.links[stagedScore] = "/etc/passwd";
    host.files[stagedName] = "Anna\r\n";
    host.files[markerPath] = marker;
    EXPECT_EQ(start(), 1);
    EXPECT_EQ(lastBox().rfind("box|Errore di run-time '75'", 0), 0U) << lastBox();
    EXPECT_EQ(host.files[scorePath], " 5\r\n");
}

struct PastedName {
    std::string typed;
    std::string shown;
};

void PrintTo(const PastedName& name, std::ostream* out) { *out << ::testing::PrintToString(name.typed); }

class NameWithBreaks : public SharedRecord, public ::testing::WithParamInterface<PastedName> { };

TEST_P(NameWithBreaks, BecomesOneLineInTheLabelAndTheFile)
{
    host.names = {GetParam().typed};
    ASSERT_EQ(start(), -1);
    EXPECT_EQ(tavola.ctl(Ctl::lblnome1).caption, GetParam().shown);
    EXPECT_EQ(host.entries("box")[0], "box| " + GetParam().shown + " vediamo se sei un vero campione  |0|Zanfiro");
    EXPECT_EQ(exitWith(" 9"), 0);
    EXPECT_EQ(host.files[namePath], GetParam().shown + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Names, NameWithBreaks,
    ::testing::Values(PastedName{"Anna\r\nBis", "Anna Bis"}, PastedName{"Anna\nBis", "Anna Bis"},
        PastedName{"Anna\rBis", "Anna Bis"}, PastedName{"\r\nA\r\n\r\nB\n", " A  B "},
        PastedName{"Anna\tBis", "Anna\tBis"}));

} // namespace
