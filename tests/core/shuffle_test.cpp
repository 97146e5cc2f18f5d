// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "play_fixture.h"

using namespace zanfiro;
using namespace zanfiro::test;

namespace {

using Field = std::int16_t GameState::*;

// The six buttons in the order of the visibility strings below.
constexpr Ctl targetsInOrder[] = {
    Ctl::paricmd, Ctl::paricmd1, Ctl::paricmd2, Ctl::disparicmd, Ctl::disparicmd1, Ctl::disparicmd2};

struct Place {
    Ctl button;
    bool isLeft;
    int range;
    int offset;
};

struct MoveCase {
    int move;
    const char* visibility; // T shown, F hidden, - as before the tick
    std::vector<Place> places; // in the order the draws are taken
    Ctl dealtTo;               // Ctl::Timer2: no deal
    int scale;
    int remainder;
    Field reseedFrom;
    Field store;
};

const MoveCase moveCases[] = {
    {1, "TFT-FF",
        {{Ctl::disparicmd, true, 450, 0}, {Ctl::disparicmd, false, 1100, 0}, {Ctl::paricmd1, true, 300, 0},
            {Ctl::paricmd, false, 600, 0}},
        Ctl::Timer2, 0, 0, nullptr, nullptr},
    {2, "TT--TT",
        {{Ctl::paricmd, true, 800, 0}, {Ctl::paricmd, false, 800, 0}, {Ctl::paricmd1, true, 300, 0},
            {Ctl::paricmd1, false, 300, 0}},
        Ctl::disparicmd1, 300, 1, &GameState::shuffleNumber, &GameState::shuffleNumber},
    {3, "FF-FTT",
        {{Ctl::paricmd2, false, 150, 0}, {Ctl::paricmd1, false, 300, 0}, {Ctl::disparicmd1, false, 300, 0},
            {Ctl::disparicmd2, false, 150, 0}, {Ctl::disparicmd2, true, 50, 0}},
        Ctl::disparicmd, 900, 1, &GameState::dispariNumber, &GameState::dispariNumber},
    {4, "-TTTTF",
        {{Ctl::disparicmd, true, 300, 1}, {Ctl::disparicmd, false, 1000, 1}, {Ctl::paricmd1, false, 500, 0},
            {Ctl::paricmd1, true, 300, 0}},
        Ctl::disparicmd2, 300, 4, &GameState::dispari2Number, &GameState::dispari2Number},
    {5, "FF-FTF",
        {{Ctl::paricmd2, false, 200, 0}, {Ctl::paricmd1, false, 300, 0}, {Ctl::disparicmd1, false, 900, 0},
            {Ctl::disparicmd2, false, 500, 0}, {Ctl::disparicmd, false, 300, 0}},
        Ctl::disparicmd1, 300, 3, &GameState::dispari2Number, &GameState::shuffleNumber},
    {6, "-F--FT",
        {{Ctl::paricmd, false, 200, 0}, {Ctl::paricmd2, false, 30, 0}, {Ctl::disparicmd, false, 900, 0},
            {Ctl::disparicmd1, false, 70, 0}, {Ctl::disparicmd2, false, 250, 0}, {Ctl::disparicmd1, true, 300, 0}},
        Ctl::disparicmd2, 300, 2, &GameState::dispari2Number, &GameState::dispari2Number},
};

void PrintTo(const MoveCase& value, std::ostream* out) { *out << "move " << value.move; }

class ShuffleMove : public PlayTest, public ::testing::WithParamInterface<MoveCase> {
protected:
    void tickAs(float moveDraw, const std::vector<float>& draws)
    {
        tavola.rnd().script({moveDraw});
        tavola.rnd().script(draws);
        tavola.Timer2_Timer();
    }
};

TEST_P(ShuffleMove, ShowsHidesPlacesAndDealsAsTheMoveSays)
{
    const MoveCase& move = GetParam();
    const float middle = static_cast<float>((move.move - 0.5) / 6);
    struct Run {
        const char* name;
        float moveDraw;
        float draw; // < 0: a different draw for every step, 1/16, 2/16, ...
        bool shownBefore;
    };
    const Run runs[] = {{"ramp", middle, -1, true},
        {"lowest", move.move == 1 ? lowestDraw : middle, lowestDraw, false},
        {"highest", move.move == 6 ? highestDraw : middle, highestDraw, true}};
    for (const Run& run : runs) {
        SCOPED_TRACE(run.name);
        for (Ctl button : targetsInOrder)
            ctl(button).visible = run.shownBefore;
        std::vector<float> draws;
        const std::size_t drawCount = move.places.size() + (move.dealtTo == Ctl::Timer2 ? 0 : 1);
        for (std::size_t i = 0; i < drawCount; ++i)
            draws.push_back(run.draw < 0 ? static_cast<float>(i + 1) / 16 : run.draw);
        tickAs(run.moveDraw, draws);
        ASSERT_FALSE(tavola.rnd().scripted());

        for (std::size_t i = 0; i < 6; ++i) {
            const char expected = move.visibility[i];
            EXPECT_EQ(ctl(targetsInOrder[i]).visible, expected == '-' ? run.shownBefore : expected == 'T') << i;
        }
        for (std::size_t i = 0; i < move.places.size(); ++i) {
            const Place& place = move.places[i];
            const double where = std::floor(static_cast<double>(draws[i]) * place.range) + place.offset;
            const Control& button = ctl(place.button);
            if (place.isLeft)
                EXPECT_EQ(button.left, where) << i;
            else
                EXPECT_EQ(button.top, std::lround(where * 672 / 512)) << i;
        }
        if (move.dealtTo == Ctl::Timer2)
            continue;
        const double dealt = std::floor(static_cast<double>(draws.back()) * move.scale + 1) * 5 + move.remainder;
        EXPECT_EQ(ctl(move.dealtTo).caption, std::to_string(static_cast<int>(dealt)));
        EXPECT_EQ(state().*move.store, dealt);
    }
}

class ShuffleDeal : public ShuffleMove { };

TEST_P(ShuffleDeal, DealsANonMultipleOfFiveWithinRangeForEverySeed)
{
    const MoveCase& move = GetParam();
    for (std::uint64_t seed = 0; seed < 1000; ++seed) {
        tavola.rnd().setState(seed * 0xA0761D6478BD642FULL);
        tickAs(static_cast<float>((move.move - 0.5) / 6), {});
        const int dealt = number(move.dealtTo);
        ASSERT_GE(dealt, 5 + move.remainder);
        ASSERT_LE(dealt, move.scale * 5 + move.remainder);
        ASSERT_EQ(dealt % 5, move.remainder);
        ASSERT_EQ(state().*move.store, dealt);
    }
}

// Two windows alike in everything but one field: the deal changes only with its reseed field.
TEST_P(ShuffleDeal, ReseedsFromItsOwnFieldOnly)
{
    const MoveCase& move = GetParam();
    auto dealtWith = [&](Field field, std::int16_t value) {
        ScriptedHost other;
        Tavola window(other);
        window.start();
        if (field)
            window.state().*field = value;
        window.rnd().setState(42);
        other.timerSeconds = 1000;
        window.rnd().script({static_cast<float>((move.move - 0.5) / 6)});
        window.Timer2_Timer();
        return window.controls()[index(move.dealtTo)].caption;
    };
    const std::string neverWritten = dealtWith(nullptr, 0);
    for (Field field : {&GameState::shuffleNumber, &GameState::dispariNumber, &GameState::dispari2Number}) {
        if (field == move.reseedFrom)
            EXPECT_NE(dealtWith(field, 1234), neverWritten);
        else
            EXPECT_EQ(dealtWith(field, 1234), neverWritten);
    }
    EXPECT_EQ(dealtWith(move.reseedFrom, 0), neverWritten);
}

const auto moveName = [](const auto& info) { return "move" + std::to_string(info.param.move); };
INSTANTIATE_TEST_SUITE_P(Moves, ShuffleMove, ::testing::ValuesIn(moveCases), moveName);
// Move 1 deals nothing.
INSTANTIATE_TEST_SUITE_P(
    Moves, ShuffleDeal, ::testing::ValuesIn(std::begin(moveCases) + 1, std::end(moveCases)), moveName);

using Shuffle = PlayTest;

TEST_F(Shuffle, EveryTickPicksOneOfTheSixMoves)
{
    std::vector<int> shownAfter(6);
    for (int tick = 0; tick < 3000; ++tick) {
        tavola.Timer2_Timer();
        for (std::size_t i = 0; i < 6; ++i)
            shownAfter[i] += ctl(targetsInOrder[i]).visible;
    }
    // paricmd1 stays shown only after moves 2 and 4, disparicmd2 after 2, 3 and 6.
    EXPECT_NEAR(shownAfter[1], 1000, 150);
    EXPECT_NEAR(shownAfter[5], 1500, 150);
}

} // namespace
