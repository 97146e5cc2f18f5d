// SPDX-License-Identifier: GPL-3.0-or-later
#include <array>
#include <string>
#include <string_view>

#include "app/tavola.h"
#include "play/deal.h"

namespace zanfiro {

namespace {

using Field = std::int16_t GameState::*;

constexpr const char* boxTitle = "Zanfiro";
constexpr int hitFlashes = 20000;
constexpr int missFlashes = 10000;
// The flash is a count of colour assignments, which a fast machine would run through unseen: the
// window is shown and held for a frame every few thousand of them, so a hit glows for 150 ms and
// a miss for 75 ms on any machine.
constexpr int assignmentsPerFrame = 2000;
constexpr int frameMs = 15;

struct TargetRule {
    Ctl button;
    bool good = false;
    std::string_view warningHead{}; // decoys: the warning is head & caption & lead & "non è ..."
    std::string_view warningLead{};
    Field reseedFrom = nullptr; // nullptr: reseed with 0
    DealFormula deal{};
    bool fixedNumber = false; // the new number is the fixed decoy number, dealt without a draw
    Field store = nullptr;        // where the new number is kept besides the caption
};

constexpr std::array<TargetRule, 6> targetRules{{
    {.button = Ctl::paricmd, .good = true, .deal = {100, 1, 0}},
    {.button = Ctl::paricmd1, .good = true, .deal = {500, 2, 0}},
    {.button = Ctl::paricmd2, .good = true, .deal = {40, 1, 0}, .store = &GameState::pari2Number},
    {.button = Ctl::disparicmd,
        .warningHead = "Attenzione!  ",
        .warningLead = " ",
        .deal = {400, 0, 2}},
    {.button = Ctl::disparicmd1,
        .warningHead = "Attenzione! Hai sbagliato:  ",
        .warningLead = "  ",
        .fixedNumber = true},
    {.button = Ctl::disparicmd2,
        .warningHead = "Attenzione!  ",
        .warningLead = "  ",
        .reseedFrom = &GameState::dispari2Number,
        .deal = {100, 0, 1},
        .store = &GameState::dispari2Number},
}};

struct FirstDeal {
    Ctl button;
    DealFormula deal{};
    bool reseedFromPrevious = false; // otherwise with 0
};

constexpr std::array<FirstDeal, 6> firstDeals{{
    {Ctl::disparicmd, {100, 1, 1}},
    {Ctl::disparicmd1, {200, 1, 2}},
    {Ctl::disparicmd2, {100, 1, 3}},
    {Ctl::paricmd, {100, 1, 0}},
    {Ctl::paricmd1, {150, 1, 0}},
    {Ctl::paricmd2, {100, 1, 0}, true}, // seeded with the number paricmd1 has just been dealt
}};

void flash(Tavola& tavola, Ctl button, Colour colour, int assignments)
{
    std::int16_t& count = tavola.state().flashCount;
    for (count = 1; count <= assignments; count = addInt16(count, 1)) {
        tavola.ctl(button).backColor = colour;
        if (count % assignmentsPerFrame == 1)
            tavola.host().holdFrame(frameMs);
    }
}

void dealNewNumber(Tavola& tavola, const TargetRule& rule)
{
    GameState& state = tavola.state();
    tavola.rnd().reseed(rule.reseedFrom ? state.*rule.reseedFrom : std::int16_t{0});
    // disparicmd1 reseeds all the same, though it draws nothing.
    const int divisor = tavola.rules().divisor;
    const std::int16_t number
        = rule.fixedNumber ? toInt16(fixedDecoyNumber(divisor)) : dealNumber(tavola.rnd(), rule.deal, divisor);
    if (rule.store)
        state.*rule.store = number;
    tavola.ctl(rule.button).caption = std::to_string(number);
}

void hit(Tavola& tavola, const TargetRule& rule)
{
    flash(tavola, rule.button, green, hitFlashes);
    GameState& state = tavola.state();
    state.score = addInt16(state.score, 1);
    ++tavola.tally().hits;
    tavola.PlayWave(tavola.soundPath("sparo.wav"));
    tavola.ctl(Ctl::Punteggio).caption = " " + std::to_string(state.score);
    tavola.ctl(rule.button).backColor = cyan;
    tavola.ctl(rule.button).visible = false;
    dealNewNumber(tavola, rule);
    tavola.cmdNext_Click();
}

void miss(Tavola& tavola, const TargetRule& rule)
{
    flash(tavola, rule.button, red, missFlashes);
    tavola.PlayWave(tavola.soundPath("esplosi.wav"));
    const std::string warning = std::string(rule.warningHead) + tavola.ctl(rule.button).caption
        + notDivisibleText(rule.warningLead, tavola.rules().divisor);
    tavola.host().msgBox(warning, box::okOnly, boxTitle);
    // Ticks inside the box may have moved, shown or re-numbered this very button: from here on
    // nothing read before the box is used, and the button still goes away with a new number.
    GameState& state = tavola.state();
    state.score = addInt16(state.score, -4);
    ++tavola.tally().misses;
    tavola.ctl(Ctl::Punteggio).caption = std::to_string(state.score); // no leading space after a miss
    tavola.ctl(rule.button).visible = false;
    dealNewNumber(tavola, rule);
    tavola.ctl(rule.button).backColor = cyan;
    tavola.cmdNext_Click();
}

void clickTarget(Tavola& tavola, Ctl button)
{
    for (const TargetRule& rule : targetRules) {
        if (rule.button != button)
            continue;
        if (rule.good)
            hit(tavola, rule);
        else
            miss(tavola, rule);
        return;
    }
}

} // namespace

void Tavola::Form_Activate()
{
    std::int16_t previous = 0;
    for (const FirstDeal& first : firstDeals) {
        m_rnd.reseed(first.reseedFromPrevious ? previous : std::int16_t{0});
        previous = dealNumber(m_rnd, first.deal, m_rules.divisor);
        ctl(first.button).caption = std::to_string(previous);
    }
    m_state.score = 0;
    ctl(Ctl::Punteggio).caption = "0";
    cmdNext_Click();
}

void Tavola::paricmd_Click() { clickTarget(*this, Ctl::paricmd); }
void Tavola::paricmd1_Click() { clickTarget(*this, Ctl::paricmd1); }
void Tavola::paricmd2_Click() { clickTarget(*this, Ctl::paricmd2); }
void Tavola::disparicmd_Click() { clickTarget(*this, Ctl::disparicmd); }
void Tavola::disparicmd1_Click() { clickTarget(*this, Ctl::disparicmd1); }
void Tavola::disparicmd2_Click() { clickTarget(*this, Ctl::disparicmd2); }

} // namespace zanfiro
