// SPDX-License-Identifier: GPL-3.0-or-later
// Every table the teacher can choose, each with a length of its own: the numbers dealt, the
// texts and the clock follow the rules chosen.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "app/tavola.h"
#include "play_fixture.h"

using namespace zanfiro;
using namespace zanfiro::test;

namespace {

constexpr Ctl goodTargets[] = {Ctl::paricmd, Ctl::paricmd1, Ctl::paricmd2};
constexpr Ctl decoys[] = {Ctl::disparicmd, Ctl::disparicmd1, Ctl::disparicmd2};
constexpr Tavola::Handler clicks[] = {&Tavola::paricmd_Click, &Tavola::paricmd1_Click, &Tavola::paricmd2_Click,
    &Tavola::disparicmd_Click, &Tavola::disparicmd1_Click, &Tavola::disparicmd2_Click};
constexpr int rounds = 400; // per divisor: 2400 clicks, 2400 shuffle ticks and 400 first deals

const GameRules everyTable[] = {{2, 1}, {3, 2}, {4, 3}, {5, 10}, {6, 4}, {9, 7}, {10, 9}, {25, 6}};

class EveryTable : public ::testing::TestWithParam<GameRules> {
protected:
    EveryTable() { tavola.start(); }

    int divisor() const { return GetParam().divisor; }
    int number(Ctl id) { return std::stoi(tavola.ctl(id).caption); }

    // Good targets show multiples, decoys never do, all within the game's 16-bit numbers and
    // four digits a button has room for.
    void expectNumbersRight(const char* after)
    {
        for (const Ctl good : goodTargets)
            EXPECT_EQ(number(good) % divisor(), 0) << after << ": " << number(good);
        for (const Ctl decoy : decoys)
            EXPECT_NE(number(decoy) % divisor(), 0) << after << ": " << number(decoy);
        for (const Ctl button : {Ctl::paricmd1, Ctl::disparicmd})
            EXPECT_TRUE(number(button) > 0 && number(button) < 10000) << after << ": " << number(button);
    }

    void drainScript()
    {
        while (tavola.rnd().scripted())
            tavola.rnd().next();
    }

    // A text names the chosen divisor, and never 5 in its place.
    void expectNamesTheDivisor(const std::string& text)
    {
        const std::string named = "(per|del) " + std::to_string(divisor()) + "(?![0-9])";
        EXPECT_TRUE(std::regex_search(text, std::regex(named))) << text;
        if (divisor() != 5) {
            EXPECT_FALSE(std::regex_search(text, std::regex("(per|del|di) 5(?![0-9])"))) << text;
        }
    }

    ScriptedHost host;
    Tavola tavola{host, GetParam()};
};

TEST_P(EveryTable, DealsMultiplesToGoodTargetsOnlyAtEveryStepAndDraw)
{
    for (int round = 0; round < rounds; ++round) {
        host.timerSeconds = 1000.0 + round * 0.37;
        tavola.Form_Activate();
        expectNumbersRight("first deal");
        for (const Tavola::Handler click : clicks) {
            // The lowest and the highest draws, then whatever the generator gives.
            if (round < 2)
                tavola.rnd().script({round == 0 ? lowestDraw : highestDraw});
            (tavola.*click)();
            expectNumbersRight("a click");
        }
        for (int move = 1; move <= 6; ++move) {
            const float moveDraw = static_cast<float>((move - 0.5) / 6);
            if (round < 2)
                tavola.rnd().script(std::vector<float>(12, round == 0 ? lowestDraw : highestDraw));
            tavola.rnd().script({moveDraw});
            tavola.Timer2_Timer();
            drainScript();
            expectNumbersRight("a shuffle move");
        }
        host.log.clear();
        if (HasFailure())
            return;
    }
}

TEST_P(EveryTable, EveryTextNamesTheDivisorAndTheClockTheLength)
{
    for (const MenuItem& item : gameMenu(divisor()))
        if (item.under == "hf" && item.name != "ok")
            expectNamesTheDivisor(std::string(item.caption));
    for (const Tavola::Handler miss : {&Tavola::disparicmd_Click, &Tavola::disparicmd1_Click,
             &Tavola::disparicmd2_Click})
        (tavola.*miss)();
    const std::vector<std::string> warnings = host.entries("box|Attenzione!");
    ASSERT_EQ(warnings.size(), 3U);
    for (const std::string& warning : warnings) {
        EXPECT_THAT(warning, ::testing::HasSubstr("non è  un numero divisibile per " + std::to_string(divisor()) + "|"));
        expectNamesTheDivisor(warning.substr(warning.find(" non")));
    }

    const int minutes = GetParam().minutes;
    EXPECT_EQ(tavola.ctl(Ctl::lblconto).caption, (minutes < 10 ? "00:0" : "00:") + std::to_string(minutes) + ":00");
    int ticks = 0;
    try {
        for (; ticks < 700; ++ticks)
            tavola.Timer1_Timer();
    } catch (const ProgramEnded&) {
        ++ticks;
    }
    EXPECT_EQ(ticks, 60 * minutes + 1) << "00:00:00 shows for one whole tick, the next says goodbye";
}

INSTANTIATE_TEST_SUITE_P(Divisors, EveryTable, ::testing::ValuesIn(everyTable),
    [](const ::testing::TestParamInfo<GameRules>& info) {
        return "by" + std::to_string(info.param.divisor) + "for" + std::to_string(info.param.minutes);
    });

} // namespace
