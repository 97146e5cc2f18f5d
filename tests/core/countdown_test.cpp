// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/tavola.h"
#include "scripted_host.h"

using namespace zanfiro;
using test::ProgramEnded;
using test::ScriptedHost;

namespace {

const std::string goodbye = "           Ciao a presto.";

class Countdown : public ::testing::Test {
protected:
    Countdown()
    {
        host.names = {"Anna"};
        tavola.start();
    }

    const std::string& clock() { return tavola.ctl(Ctl::lblconto).caption; }

    void tick(int times)
    {
        for (int i = 0; i < times; ++i)
            tavola.Timer1_Timer();
    }

    int goodbyes() const
    {
        int count = 0;
        for (const std::string& entry : host.entries("box|"))
            count += entry.rfind("box|" + goodbye + "|", 0) == 0;
        return count;
    }

    ScriptedHost host;
    Tavola tavola{host};
};

TEST_F(Countdown, StartsAtFiveMinutesWithItsTimerOn)
{
    EXPECT_EQ(clock(), "00:05:00");
    EXPECT_TRUE(tavola.ctl(Ctl::Timer1).enabled);
}

TEST_F(Countdown, BorrowsAMinuteAndWritesTwoDigitsEachField)
{
    tick(1);
    EXPECT_EQ(clock(), "00:04:59");
    tick(50);
    EXPECT_EQ(clock(), "00:04:09");
    tick(9);
    EXPECT_EQ(clock(), "00:04:00");
    tick(1);
    EXPECT_EQ(clock(), "00:03:59");
    EXPECT_EQ(tavola.state().clockSeconds, 59.0F);
    EXPECT_EQ(tavola.state().clockMinutes, 3);
}

TEST_F(Countdown, BorrowsAnHourWhenMinutesAreSpent)
{
    GameState& state = tavola.state();
    state.clockHours = 1;
    state.clockMinutes = 0;
    state.clockSeconds = 0.0F;
    tavola.ctl(Ctl::lblconto).caption = tavola.clockText();
    EXPECT_EQ(clock(), "01:00:00");
    tick(1);
    EXPECT_EQ(clock(), "00:59:59");
}

TEST_F(Countdown, ZeroShowsForAWholeTickAndTheNextOneSaysGoodbye)
{
    tick(299);
    EXPECT_EQ(clock(), "00:00:01");
    tick(1);
    EXPECT_EQ(clock(), "00:00:00");
    EXPECT_EQ(goodbyes(), 0);
    EXPECT_THROW(tick(1), ProgramEnded);
    EXPECT_EQ(goodbyes(), 1);
    EXPECT_EQ(host.log.back(), "end|0");
}

TEST_F(Countdown, TicksAtZeroInsideTheGoodbyeStartNothingAndKeepTheStackFlat)
{
    tick(300);
    int nestedTicks = 0;
    host.whileBoxOpen = [&](const std::string& prompt) {
        if (prompt != goodbye)
            return;
        for (int i = 0; i < 50; ++i, ++nestedTicks)
            tavola.Timer1_Timer();
    };
    EXPECT_THROW(tick(1), ProgramEnded);
    EXPECT_EQ(nestedTicks, 50);
    EXPECT_EQ(goodbyes(), 1);
    EXPECT_EQ(host.maxBoxDepth, 1);
    EXPECT_EQ(clock(), "00:00:00");
    EXPECT_EQ(tavola.state().clockSeconds, 0.0F);
}

TEST_F(Countdown, ExitClickedJustBeforeZeroLetsTheClockReachZeroButNoFurther)
{
    tick(298);
    EXPECT_EQ(clock(), "00:00:02");
    std::vector<std::string> seen;
    host.whileBoxOpen = [&](const std::string& prompt) {
        if (prompt != goodbye)
            return;
        for (int i = 0; i < 5; ++i) {
            tavola.Timer1_Timer();
            seen.push_back(clock());
        }
    };
    EXPECT_THROW(tavola.dispatch(&Tavola::cmdExit_Click), ProgramEnded);
    EXPECT_EQ(seen, (std::vector<std::string>{"00:00:01", "00:00:00", "00:00:00", "00:00:00", "00:00:00"}));
    EXPECT_EQ(goodbyes(), 1);
}

// The clock can run out while the new-game question is open: the goodbye opens inside it, and
// the ticks inside the goodbye still start nothing more.
TEST_F(Countdown, RunningOutInsideAnotherBoxStillEndsOnce)
{
    tick(300);
    host.whileBoxOpen = [&](const std::string&) {
        for (int i = 0; i < 3; ++i)
            tavola.Timer1_Timer();
    };
    EXPECT_THROW(tavola.dispatch(&Tavola::Next_Click), ProgramEnded);
    EXPECT_EQ(goodbyes(), 1);
    EXPECT_EQ(host.maxBoxDepth, 2);
    EXPECT_EQ(clock(), "00:00:00");
    EXPECT_TRUE(host.entries("unloaded").empty()) << "the question was never answered";
}

TEST_F(Countdown, ANewGameRestartsTheClock)
{
    tick(42);
    host.names = {"Bruno"};
    host.answers = {answer::yes};
    tavola.dispatch(&Tavola::Next_Click);
    EXPECT_EQ(clock(), "00:05:00");
    tick(1);
    EXPECT_EQ(clock(), "00:04:59");
}

} // namespace
