// SPDX-License-Identifier: GPL-3.0-or-later
#include <array>
#include <optional>
#include <span>
#include <string>

#include "app/tavola.h"
#include "play/deal.h"

namespace zanfiro {

namespace {

using Field = std::int16_t GameState::*;
using enum Ctl;

enum class Op : std::uint8_t { show, hide, left, top };

// One step of a move. A place is Int(Rnd * range) + offset, a fresh draw for every step.
struct Step {
    Op op;
    Ctl button;
    int range = 0;
    int offset = 0;
};

constexpr Step show(Ctl button) { return {Op::show, button}; }
constexpr Step hide(Ctl button) { return {Op::hide, button}; }
constexpr Step left(Ctl button, int range, int offset = 0) { return {Op::left, button, range, offset}; }
constexpr Step top(Ctl button, int range, int offset = 0) { return {Op::top, button, range, offset}; }

// A decoy's new number, Int(Rnd * scale + 1) * 5 + offset (with 5 the divisor being played), after a reseed with the number the
// reseed field holds from an earlier deal (0 before the first).
struct ShuffleDeal {
    Field reseedFrom;
    DealFormula formula;
    Field store;
    Ctl button;
};

struct Move {
    std::span<const Step> steps;
    std::optional<ShuffleDeal> deal;
};

constexpr Step move1[] = {
    hide(paricmd1), hide(disparicmd1), hide(disparicmd2), left(disparicmd, 450), top(disparicmd, 1100),
    show(paricmd),
    left(paricmd1, 300), // paricmd1, not paricmd: the new place shows when paricmd1 is next shown
    top(paricmd, 600), show(paricmd2)};
constexpr Step move2[] = {
    left(paricmd, 800), top(paricmd, 800), show(paricmd), left(paricmd1, 300), top(paricmd1, 300), show(paricmd1)};
constexpr Step move3[] = {
    hide(paricmd), hide(disparicmd), top(paricmd2, 150), top(paricmd1, 300), top(disparicmd1, 300),
    top(disparicmd2, 150), left(disparicmd2, 50), hide(paricmd1), show(disparicmd2)};
constexpr Step move4[] = {
    hide(paricmd2), hide(disparicmd2), show(disparicmd), left(disparicmd, 300, 1), top(disparicmd, 1000, 1),
    top(paricmd1, 500), left(paricmd1, 300), show(paricmd2)};
constexpr Step move5[] = {
    hide(paricmd), hide(disparicmd), top(paricmd2, 200), top(paricmd1, 300), top(disparicmd1, 900),
    top(disparicmd2, 500), top(disparicmd, 300), hide(paricmd1), hide(disparicmd2)};
constexpr Step move6[] = {
    hide(paricmd1), hide(disparicmd1), top(paricmd, 200), top(paricmd2, 30), top(disparicmd, 900),
    top(disparicmd1, 70), top(disparicmd2, 250), left(disparicmd1, 300), show(disparicmd2)};

constexpr std::array<Move, 6> moves{{
    {move1, std::nullopt},
    {move2, ShuffleDeal{&GameState::shuffleNumber, {300, 1, 1}, &GameState::shuffleNumber, disparicmd1}},
    {move3, ShuffleDeal{&GameState::dispariNumber, {900, 1, 1}, &GameState::dispariNumber, disparicmd}},
    {move4, ShuffleDeal{&GameState::dispari2Number, {300, 1, 4}, &GameState::dispari2Number, disparicmd2}},
    // Seeded from dispari2Number, kept in shuffleNumber.
    {move5, ShuffleDeal{&GameState::dispari2Number, {300, 1, 3}, &GameState::shuffleNumber, disparicmd1}},
    {move6, ShuffleDeal{&GameState::dispari2Number, {300, 1, 2}, &GameState::dispari2Number, disparicmd2}},
}};

constexpr Ctl shownEveryTick[] = {paricmd1, disparicmd1, disparicmd2};

void runStep(Tavola& tavola, const Step& step)
{
    switch (step.op) {
    case Op::show: tavola.ctl(step.button).visible = true; break;
    case Op::hide: tavola.ctl(step.button).visible = false; break;
    case Op::left:
        tavola.setLeft(step.button, static_cast<double>(wholeDraw(tavola.rnd(), step.range) + step.offset));
        break;
    case Op::top:
        tavola.setTop(step.button, static_cast<double>(wholeDraw(tavola.rnd(), step.range) + step.offset));
        break;
    }
}

void runDeal(Tavola& tavola, const ShuffleDeal& deal)
{
    GameState& state = tavola.state();
    tavola.rnd().reseed(state.*deal.reseedFrom);
    state.*deal.store = dealNumber(tavola.rnd(), deal.formula, tavola.rules().divisor);
    tavola.ctl(deal.button).caption = std::to_string(state.*deal.store);
}

} // namespace

void Tavola::Timer2_Timer()
{
    for (const Ctl button : shownEveryTick)
        ctl(button).visible = true;
    m_rnd.reseedFromTimer(m_host.systemTimer());
    const long long move = wholeDraw(m_rnd, 6) + 1;
    if (move < 1 || move > static_cast<long long>(moves.size()))
        return; // no such move: the tick ends, as it would with no matching branch
    const Move& chosen = moves[static_cast<std::size_t>(move - 1)];
    for (const Step& step : chosen.steps)
        runStep(*this, step);
    if (chosen.deal)
        runDeal(*this, *chosen.deal);
}

} // namespace zanfiro
