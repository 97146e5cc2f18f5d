// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/game_rules.h"

#include <algorithm>
#include <cmath>

namespace zanfiro {

namespace {

constexpr int usualDivisor = 5;
constexpr int usualFixedDecoy = 4502;

struct HelpEntry {
    int divisor;
    DivisorHelp help;
};

// Each rule as the class learns it, with a four-digit example like the one the game always had.
constexpr std::array<HelpEntry, allowedDivisors.size()> helpTexts{{
    {2, {"Ciao campione, mi raccomando colpisci solo i multipli del 2",
            "Un numero è divisibile per 2 se l'ultima cifra è pari: 0, 2, 4, 6 oppure 8",
            "Es 3106 è divisibile per 2 ed infatti termina con 6"}},
    {3, {"Ciao campione, mi raccomando colpisci solo i multipli del 3",
            "Un numero è divisibile per 3 se la somma delle sue cifre è un multiplo del 3",
            "Es 3102 è divisibile per 3 ed infatti 3+1+0+2 fa 6"}},
    {4, {"Ciao campione, mi raccomando colpisci solo i multipli del 4",
            "Un numero è divisibile per 4 se le ultime due cifre sono 00 oppure un multiplo del 4",
            "Es 3108 è divisibile per 4 ed infatti termina con 08, che è un multiplo del 4"}},
    {5, {"Ciao campione, mi raccomando colpisci solo i multipli del 5",
            "Un numero è divisibile per 5 se l'ultima cifra è 0 oppure 5",
            "Es 3105 è divisibile per 5 ed infatti termina con 5"}},
    {6, {"Ciao campione, mi raccomando colpisci solo i multipli del 6",
            "Un numero è divisibile per 6 se è divisibile sia per 2 sia per 3",
            "Es 3108 è divisibile per 6 ed infatti è pari e 3+1+0+8 fa 12"}},
    {9, {"Ciao campione, mi raccomando colpisci solo i multipli del 9",
            "Un numero è divisibile per 9 se la somma delle sue cifre è un multiplo del 9",
            "Es 3105 è divisibile per 9 ed infatti 3+1+0+5 fa 9"}},
    {10, {"Ciao campione, mi raccomando colpisci solo i multipli del 10",
             "Un numero è divisibile per 10 se l'ultima cifra è 0",
             "Es 3110 è divisibile per 10 ed infatti termina con 0"}},
    {25, {"Ciao campione, mi raccomando colpisci solo i multipli del 25",
             "Un numero è divisibile per 25 se le ultime due cifre sono 00, 25, 50 oppure 75",
             "Es 3175 è divisibile per 25 ed infatti termina con 75"}},
}};

} // namespace

bool isAllowedDivisor(int divisor)
{
    return std::find(allowedDivisors.begin(), allowedDivisors.end(), divisor) != allowedDivisors.end();
}

bool isAllowedLength(int minutes) { return minutes >= fewestMinutes && minutes <= mostMinutes; }

DivisorHelp divisorHelp(int divisor)
{
    for (const HelpEntry& entry : helpTexts)
        if (entry.divisor == divisor)
            return entry.help;
    return divisorHelp(usualDivisor);
}

std::string notDivisibleText(std::string_view lead, int divisor)
{
    return std::string(lead) + "non è  un numero divisibile per " + std::to_string(divisor);
}

double dealScale(double scaleAtFive, int divisor)
{
    if (divisor == usualDivisor)
        return scaleAtFive;
    return std::max(1.0, std::round(scaleAtFive * usualDivisor / divisor));
}

int decoyOffset(int offsetAtFive, int divisor)
{
    return offsetAtFive % divisor == 0 ? offsetAtFive + 1 : offsetAtFive;
}

int fixedDecoyNumber(int divisor)
{
    return usualFixedDecoy % divisor == 0 ? usualFixedDecoy - 1 : usualFixedDecoy;
}

std::string recordFileSuffix(const GameRules& rules)
{
    const GameRules usual;
    if (rules.divisor == usual.divisor && rules.minutes == usual.minutes)
        return {};
    return "-div" + std::to_string(rules.divisor) + "-" + std::to_string(rules.minutes) + "min";
}

} // namespace zanfiro
