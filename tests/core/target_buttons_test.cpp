// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "play_fixture.h"

using namespace zanfiro;
using namespace zanfiro::test;
using ::testing::ElementsAreArray;

namespace {

struct Target {
    const char* name;
    Ctl button;
    Tavola::Handler click;
    bool good;
    int lowest; // the new number a click deals
    int highest;
    int remainder;
    std::int16_t GameState::* kept;
    const char* warningFor17;
};

const Target targets[] = {
    {"paricmd", Ctl::paricmd, &Tavola::paricmd_Click, true, 5, 500, 0, nullptr, ""},
    {"paricmd1", Ctl::paricmd1, &Tavola::paricmd1_Click, true, 10, 2505, 0, nullptr, ""},
    {"paricmd2", Ctl::paricmd2, &Tavola::paricmd2_Click, true, 5, 200, 0, &GameState::pari2Number, ""},
    {"disparicmd", Ctl::disparicmd, &Tavola::disparicmd_Click, false, 2, 1997, 2, nullptr,
        "Attenzione!  17 non è  un numero divisibile per 5"},
    {"disparicmd1", Ctl::disparicmd1, &Tavola::disparicmd1_Click, false, 4502, 4502, 2, nullptr,
        "Attenzione! Hai sbagliato:  17  non è  un numero divisibile per 5"},
    {"disparicmd2", Ctl::disparicmd2, &Tavola::disparicmd2_Click, false, 1, 496, 1, &GameState::dispari2Number,
        "Attenzione!  17  non è  un numero divisibile per 5"},
};

void PrintTo(const Target& value, std::ostream* out) { *out << "" << value.name; }

class TargetClick : public PlayTest, public ::testing::WithParamInterface<Target> {
protected:
    void click() { (tavola.*GetParam().click)(); }
    std::string look(int score, const std::string& punteggio, Colour colour, bool visible, const std::string& caption)
    {
        return std::to_string(score) + " '" + punteggio + "' " + std::to_string(colour)
            + (visible ? " shown " : " hidden ") + caption;
    }
};

TEST_P(TargetClick, NewNumberStaysInItsRangeWithItsRemainder)
{
    const Target& target = GetParam();
    for (std::uint64_t seed = 0; seed < 300; ++seed) {
        tavola.rnd().setState(seed * 0xD1B54A32D192ED03ULL);
        click();
        const int dealt = number(target.button);
        ASSERT_GE(dealt, target.lowest);
        ASSERT_LE(dealt, target.highest);
        ASSERT_EQ(dealt % 5, target.remainder);
        if (target.kept) {
            ASSERT_EQ(state().*target.kept, dealt);
        }
    }
    if (target.lowest == target.highest)
        return;
    tavola.rnd().script({lowestDraw});
    click();
    EXPECT_EQ(number(target.button), target.lowest);
    tavola.rnd().script({highestDraw});
    click();
    EXPECT_EQ(number(target.button), target.highest);
}

TEST_P(TargetClick, FlashesSoundsWarnsScoresHidesAndDealsInThatOrder)
{
    const Target& target = GetParam();
    const Ctl button = target.button;
    ctl(button).visible = true;
    ctl(button).caption = "17";
    host.snapshot = [&] {
        return look(state().score, ctl(Ctl::Punteggio).caption, *ctl(button).backColor, ctl(button).visible,
            ctl(button).caption);
    };
    click();

    const Colour flash = target.good ? green : red;
    std::vector<std::string> expected(target.good ? 10 : 5, "frame: " + look(0, "0", flash, true, "17"));
    expected.push_back("wave " + tavola.soundPath(target.good ? "sparo.wav" : "esplosi.wav") + ": "
        + look(target.good ? 1 : 0, "0", flash, true, "17"));
    if (!target.good)
        expected.push_back("box: " + look(0, "0", red, true, "17"));
    expected.push_back("clock: "
        + look(target.good ? 1 : -4, target.good ? " 1" : "-4", cyan, false, ctl(button).caption));
    EXPECT_THAT(host.moments, ElementsAreArray(expected));
    EXPECT_EQ(host.heldMs, target.good ? 150 : 75);
    EXPECT_EQ(state().flashCount, target.good ? 20001 : 10001);
    if (!target.good) {
        EXPECT_EQ(host.entries("box").at(0), "box|" + std::string(target.warningFor17) + "|0|Zanfiro");
    }
}

TEST_P(TargetClick, ScoreLeavingSixteenBitsIsAnOverflowNotAWrap)
{
    state().score = GetParam().good ? 32767 : -32765;
    try {
        click();
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::Overflow);
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, TargetClick, ::testing::ValuesIn(targets),
    [](const auto& info) { return std::string(info.param.name); });

using TargetButtons = PlayTest;

TEST_F(TargetButtons, PunteggioHasALeadingSpaceOnlyAfterAHit)
{
    tavola.disparicmd_Click();
    EXPECT_EQ(ctl(Ctl::Punteggio).caption, "-4");
    tavola.paricmd_Click();
    EXPECT_EQ(ctl(Ctl::Punteggio).caption, " -3");
}

TEST_F(TargetButtons, ParicmdOneMissDrawsNothing)
{
    tavola.rnd().script({0.55F, 0.35F}); // both left for the refresh's pair
    tavola.disparicmd1_Click();
    EXPECT_EQ(state().factor1, 5);
    EXPECT_EQ(state().factor2, 3);
}

// Same generator state, one input changed: the deal must follow that input.
TEST_F(TargetButtons, DisparicmdTwoMissReseedsWithTheNumberItDealtLast)
{
    auto dealtAfterMissWith = [&](std::int16_t last) {
        state().dispari2Number = last;
        tavola.rnd().setState(77);
        tavola.disparicmd2_Click();
        return state().dispari2Number;
    };
    EXPECT_EQ(dealtAfterMissWith(11), dealtAfterMissWith(11));
    EXPECT_NE(dealtAfterMissWith(11), dealtAfterMissWith(16));
}

TEST_F(TargetButtons, FirstDealSeedsParicmdTwoWithParicmdOnesNumber)
{
    auto paricmd2With = [&](float paricmd1Draw) {
        tavola.rnd().setState(77);
        tavola.rnd().script({0.5F, 0.5F, 0.5F, 0.5F, paricmd1Draw});
        tavola.Form_Activate();
        return ctl(Ctl::paricmd2).caption;
    };
    EXPECT_EQ(paricmd2With(0.1F), paricmd2With(0.1F));
    EXPECT_NE(paricmd2With(0.1F), paricmd2With(0.2F));
}

TEST_F(TargetButtons, TicksInsideTheWarningMoveTheDecoyAndTheMissStillHidesAndRedealsIt)
{
    std::string numberInTick;
    int topInTick = 0;
    host.whileBoxOpen = [&](const std::string&) {
        tavola.Timer2_Timer(); // move 6 shows disparicmd2, moves it down and deals it a number
        numberInTick = ctl(Ctl::disparicmd2).caption;
        topInTick = ctl(Ctl::disparicmd2).top;
        ASSERT_TRUE(ctl(Ctl::disparicmd2).visible);
    };
    ctl(Ctl::disparicmd2).caption = "17";
    ctl(Ctl::disparicmd2).visible = true;
    tavola.rnd().script({5.5F / 6});
    tavola.disparicmd2_Click();

    EXPECT_EQ(host.entries("box").at(0), "box|Attenzione!  17  non è  un numero divisibile per 5|0|Zanfiro");
    EXPECT_EQ(number(Ctl::disparicmd2) % 5, 1) << "the miss's own deal, after the tick's " << numberInTick;
    EXPECT_EQ(state().dispari2Number, number(Ctl::disparicmd2));
    EXPECT_FALSE(ctl(Ctl::disparicmd2).visible);
    EXPECT_EQ(ctl(Ctl::disparicmd2).top, topInTick);
    EXPECT_EQ(ctl(Ctl::disparicmd2).backColor, cyan);
    EXPECT_EQ(state().score, -4);
}

TEST_F(TargetButtons, EveryActivationDealsAllSixAnewAndResetsTheScore)
{
    struct FirstDeal {
        Ctl button;
        int lowest, highest, remainder;
    };
    const FirstDeal deals[] = {{Ctl::disparicmd, 6, 501, 1}, {Ctl::disparicmd1, 7, 1002, 2},
        {Ctl::disparicmd2, 8, 503, 3}, {Ctl::paricmd, 5, 500, 0}, {Ctl::paricmd1, 5, 750, 0},
        {Ctl::paricmd2, 5, 500, 0}};
    const Controls before = tavola.controls();
    std::set<int> seen;
    int paricmdOneBelowDecoy = 0;
    for (int activation = 0; activation < 500; ++activation) {
        state().score = 12;
        tavola.Form_Activate();
        ASSERT_EQ(state().score, 0);
        ASSERT_EQ(ctl(Ctl::Punteggio).caption, "0");
        for (const FirstDeal& deal : deals) {
            const int dealt = number(deal.button);
            ASSERT_GE(dealt, deal.lowest);
            ASSERT_LE(dealt, deal.highest);
            ASSERT_EQ(dealt % 5, deal.remainder);
            ASSERT_EQ(ctl(deal.button).visible, before[index(deal.button)].visible);
            ASSERT_EQ(ctl(deal.button).top, before[index(deal.button)].top);
        }
        seen.insert(number(Ctl::disparicmd));
        paricmdOneBelowDecoy += number(Ctl::paricmd) == number(Ctl::disparicmd) - 1;
    }
    // Five reseeds with 0 in a row must not give five copies of one draw.
    EXPECT_GT(seen.size(), 50U);
    EXPECT_LT(paricmdOneBelowDecoy, 25);
}

} // namespace
