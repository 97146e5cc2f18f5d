// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/runtime_error.h"
#include "app/tavola.h"
#include "record/record_store.h"
#include "record_fixture.h"
#include "scripted_host.h"

using namespace zanfiro;
using namespace zanfiro::test;
using test::ProgramEnded;
using test::ScriptedHost;
using ::testing::IsEmpty;

namespace {


class RecordStore : public ::testing::Test {
protected:
    RecordStore() { host.names = {"Anna"}; }

    const std::string& caption(Ctl id) { return tavola.ctl(id).caption; }

    // Every file left in the record folder apart from the two records.
    std::vector<std::string> leftovers() const { return host.filesOtherThan({scorePath, namePath}); }

    ScriptedHost host;
    Tavola tavola{host};
};

TEST_F(RecordStore, FirstRunCreatesBothFilesEmptyAndEmptiesTheLabels)
{
    tavola.start();
    EXPECT_EQ(tavola.state().windowsDir, folder);
    ASSERT_EQ(host.files.count(scorePath), 1U);
    ASSERT_EQ(host.files.count(namePath), 1U);
    EXPECT_EQ(host.files[scorePath], "");
    EXPECT_EQ(host.files[namePath], "");
    EXPECT_EQ(caption(Ctl::lblpunti), "");
    EXPECT_EQ(caption(Ctl::lblnome), "");
    EXPECT_THAT(leftovers(), IsEmpty());
}

TEST_F(RecordStore, ALoadShowsTheWholeFilesAndChangesNoByte)
{
    host.files[scorePath] = " 12\r\n";
    host.files[namePath] = "Nicol\xF2\r\nseconda riga\r\n";
    tavola.start();
    EXPECT_EQ(caption(Ctl::lblpunti), " 12\r\n");
    EXPECT_EQ(caption(Ctl::lblnome), "Nicolò\r\nseconda riga\r\n");
    EXPECT_EQ(host.files[scorePath], " 12\r\n");
    EXPECT_EQ(host.files[namePath], "Nicol\xF2\r\nseconda riga\r\n");
    EXPECT_THAT(host.entries("write"), IsEmpty());
    EXPECT_THAT(host.entries("remove"), IsEmpty());
}

TEST_F(RecordStore, AHugeFileShowsOnlyItsBeginning)
{
    host.files[namePath] = std::string(3'000'000, '\xE8');
    tavola.start();
    EXPECT_EQ(caption(Ctl::lblnome).size(), 2 * recordShownBytes) << "each byte is a two-byte è";
    EXPECT_EQ(host.files[namePath].size(), 3'000'000U);
}

class RecordFolder : public RecordStore, public ::testing::WithParamInterface<std::pair<std::string, std::string>> { };

TEST_P(RecordFolder, EndsInOneSeparatorAndThePathsKeepTheDoubledOne)
{
    host.recordFolder = GetParam().first;
    tavola.start();
    EXPECT_EQ(tavola.state().windowsDir, GetParam().second);
    EXPECT_EQ(host.files.count(GetParam().second + "/azanfiro.txt"), 1U);
    EXPECT_EQ(host.files.count(GetParam().second + "/zanfiro.txt"), 1U);
}

INSTANTIATE_TEST_SUITE_P(Folders, RecordFolder,
    ::testing::Values(std::pair{"/data/zanfiro", "/data/zanfiro/"}, std::pair{"/data/zanfiro/", "/data/zanfiro/"},
        std::pair{"/", "/"}, std::pair{"C:\\Dati\\zanfiro\\", "C:\\Dati\\zanfiro\\"}));

// A directory, FIFO or device where a record file should be: the error box right after the
// greeting, before anything tries to open it.
TEST_F(RecordStore, ARecordFileThatIsNoFileStopsTheLoad)
{
    for (const std::string& path : {scorePath, namePath}) {
        ScriptedHost local;
        local.names = {"Anna"};
        local.otherKinds = {path};
        Tavola game(local);
        EXPECT_THROW(game.start(), ProgramEnded);
        const auto boxes = local.entries("box");
        ASSERT_EQ(boxes.size(), 2U);
        EXPECT_EQ(boxes[1].rfind("box|Errore di run-time '75'", 0), 0U) << boxes[1];
        EXPECT_THAT(local.entries("touch|" + path), IsEmpty());
        EXPECT_THAT(local.entries("read|" + path), IsEmpty());
        EXPECT_EQ(local.log.back(), "end|1");
    }
}

TEST_F(RecordStore, AFileThatCannotBeCreatedStopsTheLoad)
{
    host.faults[{"touch", namePath}] = ErrorNumber::PermissionDenied;
    EXPECT_THROW(tavola.start(), ProgramEnded);
    EXPECT_EQ(host.entries("box").back().rfind("box|Errore di run-time '70'", 0), 0U);
    EXPECT_EQ(host.log.back(), "end|1");
}

struct Interrupted {
    const char* what;
    std::map<std::string, std::string> extra; // besides the old pair " 5" / "Anna"
    std::string score;
    std::string name;
};

void PrintTo(const Interrupted& state, std::ostream* out) { *out << state.what; }

class InterruptedCommit : public RecordStore, public ::testing::WithParamInterface<Interrupted> { };

TEST_P(InterruptedCommit, TheNextLoadFindsAWholePairAndNoTemporary)
{
    host.files[scorePath] = " 5\r\n";
    host.files[namePath] = "Anna\r\n";
    for (const auto& [file, bytes] : GetParam().extra)
        host.files[folder + "/" + file] = bytes;
    tavola.start();
    EXPECT_EQ(host.files[scorePath], GetParam().score);
    EXPECT_EQ(host.files[namePath], GetParam().name);
    EXPECT_EQ(caption(Ctl::lblpunti), GetParam().score);
    EXPECT_EQ(caption(Ctl::lblnome), GetParam().name);
    EXPECT_THAT(leftovers(), IsEmpty());
}

const std::string marker = "azanfiro.txt.new.k3\r\nzanfiro.txt.new.q8\r\n";
// What a marker said when staged names were fixed: a game stopped by an older version still ends well.
const std::string fixedNamesMarker = "azanfiro.txt zanfiro.txt\r\n";

INSTANTIATE_TEST_SUITE_P(Moments, InterruptedCommit,
    ::testing::Values(
        Interrupted{"while staging the score", {{"azanfiro.txt.new.k3", " 9"}}, " 5\r\n", "Anna\r\n"},
        Interrupted{"while staging the name", {{"azanfiro.txt.new.k3", " 9\r\n"}, {"zanfiro.txt.new.q8", "Bru"}},
            " 5\r\n", "Anna\r\n"},
        Interrupted{"while writing the marker",
            {{"azanfiro.txt.new.k3", " 9\r\n"}, {"zanfiro.txt.new.q8", "Bruno\r\n"}, {"zanfiro.commit", marker.substr(0, 25)}},
            " 5\r\n", "Anna\r\n"},
        Interrupted{"before the first replacement",
            {{"azanfiro.txt.new.k3", " 9\r\n"}, {"zanfiro.txt.new.q8", "Bruno\r\n"}, {"zanfiro.commit", marker}},
            " 9\r\n", "Bruno\r\n"},
        Interrupted{"between the replacements",
            {{"azanfiro.txt", " 9\r\n"}, {"zanfiro.txt.new.q8", "Bruno\r\n"}, {"zanfiro.commit", marker}},
            " 9\r\n", "Bruno\r\n"},
        Interrupted{"before the marker went",
            {{"azanfiro.txt", " 9\r\n"}, {"zanfiro.txt", "Bruno\r\n"}, {"zanfiro.commit", marker}},
            " 9\r\n", "Bruno\r\n"},
        Interrupted{"between the replacements, by an older version",
            {{"azanfiro.txt", " 9\r\n"}, {"zanfiro.txt.new", "Bruno\r\n"}, {"zanfiro.commit", fixedNamesMarker}},
            " 9\r\n", "Bruno\r\n"},
        Interrupted{"with another copy's leftovers beside a marker",
            {{"azanfiro.txt.new.k3", " 9\r\n"}, {"zanfiro.txt.new.q8", "Bruno\r\n"}, {"zanfiro.commit", marker},
                {"azanfiro.txt.new.zz", " 99\r\n"}, {"zanfiro.txt.new", "Carla\r\n"}},
            " 9\r\n", "Bruno\r\n"},
        Interrupted{"with a marker that names files of others",
            {{"azanfiro.txt.new.k3", " 9\r\n"}, {"zanfiro.commit", "../azanfiro.txt\r\nzanfiro.txt\r\n"}},
            " 5\r\n", "Anna\r\n"}));

TEST(InterruptedCommitOrder, TheMarkerGoesOnlyAfterBothReplacements)
{
    ScriptedHost host;
    host.files[markerPath] = marker;
    host.files[scorePath + ".new.k3"] = " 9\r\n";
    host.files[namePath + ".new.q8"] = "Bruno\r\n";
    Tavola tavola(host);
    tavola.start();
    std::vector<std::string> fileOps;
    for (const std::string& entry : host.log)
        if (entry.rfind("replace", 0) == 0 || entry.rfind("remove", 0) == 0 || entry.rfind("touch", 0) == 0)
            fileOps.push_back(entry);
    EXPECT_THAT(fileOps, ::testing::ElementsAre("replace|" + scorePath + ".new.k3|" + scorePath,
        "replace|" + namePath + ".new.q8|" + namePath, "remove|" + markerPath, "touch|" + scorePath,
        "touch|" + namePath));
}

} // namespace
