// SPDX-License-Identifier: GPL-3.0-or-later
// The table and the length the teacher chose: `gioco/divisore` and `gioco/minuti` in the
// machine-wide settings file, then --divisore and --minuti for one launch.
#pragma once

#include <QString>

#include <optional>

#include "app/game_rules.h"

namespace zanfiro {

struct LaunchOptions;

// The rules, or the Italian message that names the setting at fault: a bad value is never
// replaced by a default behind the teacher's back.
struct ChosenRules {
    GameRules rules;
    QString error; // empty when the rules hold
};
ChosenRules readGameRules(const QString& settingsPath, const QString& divisorOption, const QString& minutesOption);

// The divisor --help speaks of: the one chosen, or 5 when none (or no valid one) is.
int describedDivisor(const QString& settingsPath, const QString& divisorOption);

// The rules of this run; after a bad value, the error box and nothing (the program then ends
// before the name prompt).
std::optional<GameRules> chosenGameRules(const QString& settingsPath, const LaunchOptions& options);

} // namespace zanfiro
