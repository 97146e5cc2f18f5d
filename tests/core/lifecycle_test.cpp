// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/runtime_error.h"
#include "app/tavola.h"
#include "scripted_host.h"

using namespace zanfiro;
using test::ProgramEnded;
using test::ScriptedHost;
using ::testing::ElementsAre;

namespace {

const std::string greetingAnna = "box| Anna vediamo se sei un vero campione  |0|Zanfiro";
const std::string newGameQuestion = "box|INIZIAMO UNA NUOVA GARA  ?|292|INIZIARE NUOVA GARA";

// The log without the file traffic of the record store, which has tests of its own.
std::vector<std::string> windowEvents(const ScriptedHost& host)
{
    std::vector<std::string> out;
    for (const std::string& entry : host.log)
        if (entry.rfind("input", 0) == 0 || entry.rfind("box", 0) == 0 || entry == "shown" || entry == "unloaded")
            out.push_back(entry);
    return out;
}

// The controls that load and activation do not set must be back at their design values.
void expectDesignValuesExceptLoadedOnes(const Tavola& tavola)
{
    const Controls design = designControls();
    for (const Control& control : tavola.controls()) {
        const Control& expected = design[index(control.id)];
        SCOPED_TRACE(std::string(control.name));
        EXPECT_EQ(control.left, expected.left);
        EXPECT_EQ(control.top, expected.top);
        EXPECT_EQ(control.visible, expected.visible);
        EXPECT_EQ(control.backColor, expected.backColor);
        if (control.kind == ControlKind::Button && control.id != Ctl::cmdExit && control.id != Ctl::cmdNext
            && control.id != Ctl::Inizio)
            continue; // the first deal writes the target captions
        switch (control.id) {
        case Ctl::Punteggio: case Ctl::lblpunti: case Ctl::lblnome: case Ctl::lblnome1: case Ctl::lblconto:
        case Ctl::lblNum1: case Ctl::lblNum2: case Ctl::Timer1:
            break;
        default:
            EXPECT_EQ(control.caption, expected.caption);
            EXPECT_EQ(control.enabled, expected.enabled);
        }
    }
}

class Lifecycle : public ::testing::Test {
protected:
    ScriptedHost host;
    Tavola tavola{host};
};

} // namespace

TEST_F(Lifecycle, StartUpAsksGreetsThenShowsTheWindowOnce)
{
    host.names = {"Anna"};
    tavola.start();
    EXPECT_THAT(windowEvents(host), ElementsAre("input|Come ti chiami?|Zanfiro", greetingAnna, "shown"));
    EXPECT_EQ(tavola.controls()[index(Ctl::lblnome1)].caption, "Anna");
    EXPECT_EQ(tavola.form().caption, "Zanfiro");
}

TEST_F(Lifecycle, CancelGivesAnEmptyNameAndAGreetingWithTwoLeadingSpaces)
{
    tavola.start();
    EXPECT_THAT(host.entries("box"), ElementsAre("box|  vediamo se sei un vero campione  |0|Zanfiro"));
    EXPECT_EQ(tavola.controls()[index(Ctl::lblnome1)].caption, "");
}

TEST_F(Lifecycle, NothingTicksWhileTheNameIsAskedAndThePupilGreeted)
{
    bool anyTimerOn = true;
    host.whileBoxOpen = [&](const std::string&) {
        anyTimerOn = tavola.controls()[index(Ctl::Timer1)].enabled || tavola.controls()[index(Ctl::Timer2)].enabled;
    };
    tavola.start();
    EXPECT_FALSE(anyTimerOn);
    EXPECT_TRUE(tavola.controls()[index(Ctl::Timer1)].enabled) << "the clock runs once the greeting is closed";
    EXPECT_FALSE(tavola.controls()[index(Ctl::Timer2)].enabled) << "the shuffle waits for the first click";
}

TEST_F(Lifecycle, StartUpRefreshesThreeTimesAndNewGameTwice)
{
    tavola.start();
    EXPECT_EQ(host.timerReads, 3);
    host.answers = {answer::yes};
    tavola.dispatch(&Tavola::Next_Click);
    EXPECT_EQ(host.timerReads, 5);
}

TEST_F(Lifecycle, TargetButtonsAreAllHiddenWhenTheWindowComesUp)
{
    tavola.start();
    for (Ctl target : {Ctl::paricmd, Ctl::paricmd1, Ctl::paricmd2, Ctl::disparicmd, Ctl::disparicmd1, Ctl::disparicmd2})
        EXPECT_FALSE(tavola.controls()[index(target)].visible);
}

TEST_F(Lifecycle, NewGameAnsweredOtherwiseThanYesChangesNothing)
{
    for (int reply : {answer::no, answer::ok, 2 /* Escape */}) {
        ScriptedHost localHost;
        Tavola game(localHost);
        localHost.names = {"Anna"};
        game.start();
        game.ctl(Ctl::Punteggio).caption = " 7";
        game.ctl(Ctl::paricmd).visible = true;
        const std::size_t logSize = localHost.log.size();
        localHost.answers = {reply};
        game.dispatch(&Tavola::Next_Click);
        EXPECT_THAT(std::vector<std::string>(localHost.log.begin() + static_cast<long>(logSize), localHost.log.end()),
            ElementsAre(newGameQuestion));
        EXPECT_EQ(game.controls()[index(Ctl::Punteggio)].caption, " 7");
        EXPECT_TRUE(game.controls()[index(Ctl::paricmd)].visible);
    }
}

TEST_F(Lifecycle, NewGameUnloadsAsksTheNameAgainAndRestoresTheDesignValues)
{
    host.names = {"Anna", "Bruno"};
    tavola.start();
    tavola.ctl(Ctl::paricmd).visible = true;
    tavola.setLeft(Ctl::disparicmd, 3);
    tavola.ctl(Ctl::Timer2).enabled = true;
    tavola.setWindowState(1);
    tavola.dispatch(&Tavola::Form_Resize);
    const std::size_t logSize = host.log.size();
    host.answers = {answer::yes};
    tavola.dispatch(&Tavola::Next_Click);

    std::vector<std::string> after(host.log.begin() + static_cast<long>(logSize), host.log.end());
    ScriptedHost view;
    view.log = after;
    EXPECT_THAT(windowEvents(view), ElementsAre(newGameQuestion, "unloaded", "input|Come ti chiami?|Zanfiro",
        "box| Bruno vediamo se sei un vero campione  |0|Zanfiro", "shown"));
    EXPECT_EQ(tavola.form().caption, "Zanfiro");
    EXPECT_EQ(tavola.controls()[index(Ctl::lblnome1)].caption, "Bruno");
    EXPECT_FALSE(tavola.controls()[index(Ctl::Timer2)].enabled);
    expectDesignValuesExceptLoadedOnes(tavola);
}

TEST_F(Lifecycle, GameStateSurvivesANewGameExceptWhatLoadAndActivationSet)
{
    tavola.start();
    GameState& state = tavola.state();
    state.dispariNumber = 111;
    state.shuffleNumber = 222;
    state.dispari2Number = 333;
    state.pari2Number = 444;
    state.recordText = "kept";
    state.exitDelay = 55;
    state.flashCount = 66;
    host.answers = {answer::yes};
    tavola.dispatch(&Tavola::Next_Click);
    EXPECT_EQ(state.dispariNumber, 111);
    EXPECT_EQ(state.shuffleNumber, 222);
    EXPECT_EQ(state.dispari2Number, 333);
    EXPECT_EQ(state.pari2Number, 444);
    EXPECT_EQ(state.recordText, "kept");
    EXPECT_EQ(state.exitDelay, 55);
    EXPECT_EQ(state.flashCount, 66);
}

TEST_F(Lifecycle, MinimisingShowsBrovenzaUntilTheNextLoad)
{
    tavola.start();
    tavola.setWindowState(2);
    tavola.dispatch(&Tavola::Form_Resize);
    EXPECT_EQ(tavola.form().caption, "Zanfiro");
    tavola.setWindowState(1);
    tavola.dispatch(&Tavola::Form_Resize);
    EXPECT_EQ(tavola.form().caption, "Brovenza");
    tavola.setWindowState(0);
    tavola.dispatch(&Tavola::Form_Resize);
    EXPECT_EQ(tavola.form().caption, "Brovenza");
}

TEST_F(Lifecycle, ARunTimeErrorShowsItsBoxAndEndsTheProgramWithAFailureStatus)
{
    host.names = {"Anna"};
    host.recordDirError = ErrorNumber::PathNotFound;
    EXPECT_THROW(tavola.start(), ProgramEnded);
    const auto boxes = host.entries("box");
    ASSERT_EQ(boxes.size(), 2U);
    EXPECT_EQ(boxes[0], greetingAnna) << "the greeting comes before the record folder is looked for";
    EXPECT_EQ(boxes[1].rfind("box|Errore di run-time '76':\n\nImpossibile trovare il percorso", 0), 0U) << boxes[1];
    EXPECT_EQ(boxes[1].substr(boxes[1].size() - 11), "|16|Zanfiro");
    EXPECT_EQ(host.log.back(), "end|1");
    EXPECT_TRUE(host.entries("shown").empty());
}

TEST_F(Lifecycle, TheErrorBoxStopsBothTimersSoNothingTicksBehindIt)
{
    tavola.start();
    tavola.ctl(Ctl::Timer2).enabled = true;
    tavola.state().score = 32767;
    bool timersOnDuringErrorBox = true;
    host.whileBoxOpen = [&](const std::string& prompt) {
        if (prompt.rfind("Errore", 0) == 0)
            timersOnDuringErrorBox
                = tavola.controls()[index(Ctl::Timer1)].enabled || tavola.controls()[index(Ctl::Timer2)].enabled;
    };
    EXPECT_THROW(tavola.dispatch(&Tavola::paricmd_Click), ProgramEnded);
    EXPECT_FALSE(timersOnDuringErrorBox);
    EXPECT_EQ(host.log.back(), "end|1");
}

TEST(Int16, ArithmeticOutsideTheRangeIsAnOverflowNeverAWrap)
{
    EXPECT_EQ(addInt16(32766, 1), 32767);
    EXPECT_EQ(addInt16(-32764, -4), -32768);
    for (long long bad : {32768LL, -32769LL, 100000LL}) {
        try {
            toInt16(bad);
            ADD_FAILURE() << bad;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), ErrorNumber::Overflow);
        }
    }
    EXPECT_THROW(addInt16(-32768, -4), RuntimeError);
}

TEST(Layout, TabIndicesAreZeroToThirtyOneEachOnceAndStackingFollowsCreation)
{
    const Controls design = designControls();
    std::vector<int> seen(32, 0);
    for (std::size_t i = 0; i < design.size(); ++i) {
        EXPECT_EQ(index(design[i].id), i) << design[i].name;
        if (design[i].kind != ControlKind::Timer)
            ++seen.at(static_cast<std::size_t>(design[i].tabIndex));
        EXPECT_EQ(controlByName(design[i].name), design[i].id);
    }
    EXPECT_THAT(seen, ::testing::Each(1));
}
