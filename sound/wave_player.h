// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

namespace zanfiro {

// Plays one wave file at a time without waiting: the newest sound cuts the one playing, and a
// missing or unplayable file, or a machine without a sound device, means silence. Paths are UTF-8.
//
// The sound system plays in the background, so a window that holds a flash, shows a box or
// repaints never starves a sound: on Linux a thread of the player's own ("zanfiro sound") feeds
// ALSA, and on Windows the system plays the file by itself. Every call returns at once. A machine
// with no sound device now is looked at again at the next sound.
class WavePlayer {
public:
    WavePlayer();
    ~WavePlayer();
    WavePlayer(const WavePlayer&) = delete;
    WavePlayer& operator=(const WavePlayer&) = delete;

    void play(const std::string& path);
    // Reads every wave file of the folder ahead of its first play, so that first play starts at
    // once too. A missing folder loads nothing; a file missing now still plays once it is there.
    void preloadFolder(const std::string& folder);

private:
    // The thread that feeds the device, with what the window's thread shares with it; shared, so
    // that a thread left behind at the end keeps it alive. None where the system plays by itself.
    struct SoundThread;
    std::shared_ptr<SoundThread> m_thread;
};

} // namespace zanfiro
