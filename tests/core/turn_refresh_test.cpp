// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "play_fixture.h"

using namespace zanfiro;
using namespace zanfiro::test;
using ::testing::ElementsAre;

namespace {

constexpr Colour rgb(int red, int green, int blue) { return static_cast<Colour>(red + 256 * green + 65536 * blue); }

using TurnRefresh = PlayTest;

TEST_F(TurnRefresh, PairIsTwoDigitsFirstNeverZeroAndTheWholeBackdropFollowsIt)
{
    std::set<int> firsts;
    std::set<int> seconds;
    for (std::uint64_t seed = 0; seed < 2000; ++seed) {
        tavola.rnd().setState(seed * 0x9E3779B97F4A7C15ULL);
        tavola.cmdNext_Click();
        const int first = state().factor1;
        const int second = state().factor2;
        ASSERT_GE(first, 1);
        ASSERT_LE(first, 9);
        ASSERT_GE(second, 0);
        ASSERT_LE(second, 9);
        ASSERT_EQ(ctl(Ctl::lblNum1).caption, std::to_string(first));
        ASSERT_EQ(ctl(Ctl::lblNum2).caption, std::to_string(second));
        for (int band = 0; band < 256; ++band)
            ASSERT_EQ(tavola.form().bands[band], rgb(first * 20, second * 20, band)) << band;
        firsts.insert(first);
        seconds.insert(second);
    }
    EXPECT_EQ(firsts.size(), 9U);
    EXPECT_EQ(seconds.size(), 10U);
}

TEST_F(TurnRefresh, ExtremeDrawsGiveNineAndNineOrOneAndZero)
{
    tavola.rnd().script({lowestDraw, lowestDraw, highestDraw, highestDraw});
    tavola.cmdNext_Click();
    EXPECT_EQ(state().factor1, 9);
    EXPECT_EQ(state().factor2, 9);
    EXPECT_EQ(ctl(Ctl::lblNum1).caption, "9");
    EXPECT_EQ(tavola.form().bands[0], rgb(180, 180, 0));
    EXPECT_EQ(tavola.form().bands[255], rgb(180, 180, 255));

    tavola.rnd().script({0.1F, lowestDraw});
    tavola.cmdNext_Click();
    EXPECT_EQ(state().factor1, 1);
    EXPECT_EQ(state().factor2, 0);
    EXPECT_EQ(tavola.form().bands[0], rgb(20, 0, 0));
    EXPECT_EQ(tavola.form().bands[255], rgb(20, 0, 255));
}

TEST_F(TurnRefresh, ParicmdTwoTurnsCyanAndTheMessageEmptiesBeforeTheClockIsRead)
{
    ctl(Ctl::paricmd2).backColor = red;
    ctl(Ctl::lblMessage).caption = "x";
    host.snapshot = [&] {
        return std::to_string(*ctl(Ctl::paricmd2).backColor) + " '" + ctl(Ctl::lblMessage).caption + "'";
    };
    tavola.cmdNext_Click();
    EXPECT_THAT(host.moments, ElementsAre("clock: " + std::to_string(cyan) + " ''"));
}

TEST_F(TurnRefresh, LeavesPixelsAcrossAnd512UnitsDown)
{
    tavola.cmdNext_Click();
    const FormModel& form = tavola.form();
    EXPECT_TRUE(form.autoRedraw);
    EXPECT_EQ(form.drawStyle, 6);
    EXPECT_EQ(form.drawMode, 13);
    EXPECT_EQ(form.drawWidth, 2);
    EXPECT_EQ(form.scaleMode, 0);
    EXPECT_EQ(form.scaleHeight, 512);
    EXPECT_TRUE(form.hasBackdrop);
    tavola.setLeft(Ctl::paricmd, 300);
    tavola.setTop(Ctl::paricmd, 100);
    EXPECT_EQ(ctl(Ctl::paricmd).left, 300);
    EXPECT_EQ(ctl(Ctl::paricmd).top, 131); // 100 * 672 / 512 = 131.25
    tavola.setTop(Ctl::paricmd, 512);
    EXPECT_EQ(ctl(Ctl::paricmd).top, 672); // just below the client area
}

} // namespace
