// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace zanfiro {

// How the samples of a wave file are written.
enum class WaveEncoding { Pcm, Float, ALaw, MuLaw };

struct WaveFormat {
    WaveEncoding encoding = WaveEncoding::Pcm;
    int channels = 0;
    int rate = 0;          // frames a second
    int bitsPerSample = 0; // 8, 16, 24 or 32 for PCM; 32 or 64 for floats; 8 for A-law and mu-law
    friend bool operator==(const WaveFormat&, const WaveFormat&) = default;
    int bytesPerFrame() const { return channels * (bitsPerSample / 8); }
};

// The playable part of a RIFF wave file: its format and its samples, as whole frames.
struct WaveSound {
    WaveFormat format;
    std::string_view frames; // within the bytes given to readWave
};

// Finds the format and the samples in a wave file's bytes. Anything a sound device could not be
// asked to play (compressed formats, odd sample sizes, a file without samples, damaged or cut
// headers) is nullopt; a data chunk cut short keeps the whole frames that are there.
std::optional<WaveSound> readWave(std::string_view bytes);

} // namespace zanfiro
