// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows player: the system's own asynchronous wave playback, which plays any wave file
// Windows can, in the background, and cuts the sound playing when a new one starts.
#include "sound/wave_player.h"

#include <windows.h>
#include <mmsystem.h>

#include <string>

namespace zanfiro {

namespace {

std::wstring widePath(const std::string& utf8)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), size);
    return wide;
}

} // namespace

WavePlayer::WavePlayer() = default;
WavePlayer::~WavePlayer() { PlaySoundW(nullptr, nullptr, 0); }

void WavePlayer::play(const std::string& path)
{
    // The sound still playing stops first, even if the new one can't play; SND_NODEFAULT keeps a
    // missing or broken file silent instead of the system's default sound.
    PlaySoundW(nullptr, nullptr, 0);
    const std::wstring wide = widePath(path);
    if (!wide.empty())
        PlaySoundW(wide.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

// Windows reads the file when it plays it, from its own cache.
void WavePlayer::preloadFolder(const std::string&) { }

} // namespace zanfiro
