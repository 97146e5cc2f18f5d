// SPDX-License-Identifier: GPL-3.0-or-later
// Which table the class plays and for how long. The teacher chooses them; a plain launch plays
// the multiples of 5 for five minutes, the game as it always was.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zanfiro {

struct GameRules {
    int divisor = 5;
    int minutes = 5;
};

// The divisibility rules taught in primary school.
inline constexpr std::array<int, 8> allowedDivisors = {2, 3, 4, 5, 6, 9, 10, 25};
inline constexpr int fewestMinutes = 1;
inline constexpr int mostMinutes = 10;

bool isAllowedDivisor(int divisor);
bool isAllowedLength(int minutes);

// What the Help menu says of the divisor: the pupils' reminder, the rule and a worked example.
struct DivisorHelp {
    std::string_view reminder;
    std::string_view rule;
    std::string_view example;
};
DivisorHelp divisorHelp(int divisor);

// The tail of every miss warning, after the number; `lead` holds the spaces before "non".
std::string notDivisibleText(std::string_view lead, int divisor);

// The draws' scale for a divisor: the numbers stay as large as with 5 (at most four digits, which
// is what a target button has room for), so every table deals numbers of the same size.
double dealScale(double scaleAtFive, int divisor);
// A decoy's remainder: the one the game has always dealt, or the next one up where that one would
// be a multiple of the divisor.
int decoyOffset(int offsetAtFive, int divisor);
// The number a miss on the second decoy always leaves: 4502, or 4501 where 4502 is a multiple.
int fixedDecoyNumber(int divisor);

// The record files of a game other than 5 for five minutes carry these in their names, so that a
// record of one table and length never competes with another's. Empty for the game as it was.
std::string recordFileSuffix(const GameRules& rules);

} // namespace zanfiro
