// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "play_fixture.h"

using namespace zanfiro;
using namespace zanfiro::test;
using ::testing::ElementsAre;

namespace {

using StartOfPlay = PlayTest;

TEST_F(StartOfPlay, OwnPairLaserBackdropThenTimerOnAndATickAtOnce)
{
    state().factor1 = 4;
    state().factor2 = 6;
    ctl(Ctl::lblNum1).caption = "4";
    ctl(Ctl::lblNum2).caption = "6";
    ctl(Ctl::paricmd2).backColor = green;
    host.snapshot = [&] {
        return ctl(Ctl::lblNum1).caption + ctl(Ctl::lblNum2).caption + " band0="
            + std::to_string(tavola.form().bands[0]) + (ctl(Ctl::Timer2).enabled ? " on" : " off");
    };
    const std::string oldBand = std::to_string(tavola.form().bands[0]);
    const std::string newBand = std::to_string(60 + 256 * 140);
    tavola.rnd().script({0.35F, 0.72F, 0.5F / 6}); // the pair 3 and 7, then move 1
    tavola.Form_Click();

    EXPECT_THAT(host.moments,
        ElementsAre("clock: 46 band0=" + oldBand + " off",
            "wave " + tavola.soundPath("laser.wav") + ": 37 band0=" + oldBand + " off",
            "clock: 37 band0=" + newBand + " on"));
    EXPECT_EQ(state().factor1, 4);
    EXPECT_EQ(state().factor2, 6);
    EXPECT_EQ(ctl(Ctl::paricmd2).backColor, green);
    EXPECT_TRUE(ctl(Ctl::paricmd).visible) << "move 1 shows paricmd without waiting for the timer";
    EXPECT_TRUE(ctl(Ctl::paricmd2).visible);
}

TEST_F(StartOfPlay, ASecondClickWhilePlayingRunsAnotherTickAtOnce)
{
    tavola.Form_Click();
    host.snapshot = [] { return std::string(); };
    tavola.Form_Click();
    EXPECT_THAT(host.moments, ElementsAre("clock: ", "wave " + tavola.soundPath("laser.wav") + ": ", "clock: "));
    EXPECT_TRUE(ctl(Ctl::Timer2).enabled);
}

} // namespace
