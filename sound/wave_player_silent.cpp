// SPDX-License-Identifier: GPL-3.0-or-later
// Systems without a player of ours yet: the game plays on, silent.
#include "sound/wave_player.h"

namespace zanfiro {

WavePlayer::WavePlayer() = default;
WavePlayer::~WavePlayer() = default;
void WavePlayer::play(const std::string&) { }
void WavePlayer::preloadFolder(const std::string&) { }

} // namespace zanfiro
