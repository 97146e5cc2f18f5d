// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>

#include "play/rnd.h"

using zanfiro::Rnd;

namespace {

TEST(Rnd, DrawsLieInZeroToOneAndSpreadEvenly)
{
    Rnd rnd(7);
    std::array<int, 6> counts{};
    float lowest = 1;
    float highest = 0;
    for (int i = 0; i < 600000; ++i) {
        const float r = rnd.next();
        ASSERT_GE(r, 0.0F);
        ASSERT_LT(r, 1.0F);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
        ++counts[static_cast<std::size_t>(std::floor(static_cast<double>(r) * 6))];
    }
    EXPECT_LT(lowest, 1e-4F);
    EXPECT_GT(highest, 1 - 1e-4F);
    for (int count : counts)
        EXPECT_NEAR(count, 100000, 1500);
}

TEST(Rnd, ReseedingWithTheSameValueKeepsTheDrawsVarying)
{
    Rnd rnd;
    std::set<int> dealt;
    for (int i = 0; i < 200; ++i) {
        rnd.reseed(0);
        dealt.insert(static_cast<int>(rnd.next() * 100));
    }
    EXPECT_GT(dealt.size(), 80U);
}

TEST(Rnd, ClockReadingsAMillisecondApartGiveDifferentDraws)
{
    Rnd a(99);
    Rnd b(99);
    a.reseedFromTimer(45296.123);
    b.reseedFromTimer(45296.124);
    EXPECT_NE(a.next(), b.next());
}

TEST(Rnd, ScriptedDrawsComeFirstAndLeaveTheStateAlone)
{
    Rnd rnd(5);
    Rnd twin(5);
    rnd.script({0.25F, 0.5F});
    rnd.reseed(3);
    twin.reseed(3);
    EXPECT_EQ(rnd.next(), 0.25F);
    EXPECT_EQ(rnd.next(), 0.5F);
    EXPECT_FALSE(rnd.scripted());
    EXPECT_EQ(rnd.next(), twin.next());
}

} // namespace
