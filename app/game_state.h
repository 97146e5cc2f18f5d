// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace zanfiro {

// The window-level variables every handler shares. They live as long as the window object:
// a new game reloads the controls but keeps this record, so the last-dealt numbers go on
// seeding the deals of the next game.
struct GameState {
    std::int16_t score = 0;
    std::int16_t flashCount = 0;
    std::int16_t factor1 = 0;
    std::int16_t factor2 = 0;
    std::int16_t fileNum = 0;
    std::string recordText;
    std::int16_t exitDelay = 0;
    std::int16_t clockHours = 0;
    std::int16_t clockMinutes = 0;
    float clockSeconds = 0.0F;
    std::string windowsDir;
    std::int16_t pari2Number = 0;
    std::int16_t dispariNumber = 0;
    std::int16_t shuffleNumber = 0;
    std::int16_t dispari2Number = 0;
};

} // namespace zanfiro
