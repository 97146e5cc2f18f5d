// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the wave file reader: whatever a file in the sounds' folder holds,
// reading it must not crash or hang, and what it hands the device must be whole frames of a
// format it understood, inside the file.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sound/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto wave = zanfiro::readWave(bytes);
    if (!wave)
        return 0;
    const int frame = wave->format.bytesPerFrame();
    if (frame <= 0 || wave->frames.empty() || wave->frames.size() % std::size_t(frame) != 0
        || wave->frames.data() < bytes.data() || wave->frames.data() + wave->frames.size() > bytes.data() + bytes.size())
        std::abort();
    return 0;
}
