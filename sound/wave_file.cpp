// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/wave_file.h"

#include <cstdint>

namespace zanfiro {
namespace {

constexpr std::uint16_t formatPcm = 1, formatFloat = 3, formatALaw = 6, formatMuLaw = 7, formatExtensible = 0xFFFE;

std::uint32_t little(std::string_view bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + std::size_t(i)]);
    return value;
}

std::optional<WaveEncoding> encodingOf(std::uint16_t tag, int bits)
{
    switch (tag) {
    case formatPcm:
        if (bits == 8 || bits == 16 || bits == 24 || bits == 32)
            return WaveEncoding::Pcm;
        break;
    case formatFloat:
        if (bits == 32 || bits == 64)
            return WaveEncoding::Float;
        break;
    case formatALaw:
        if (bits == 8)
            return WaveEncoding::ALaw;
        break;
    case formatMuLaw:
        if (bits == 8)
            return WaveEncoding::MuLaw;
        break;
    }
    return std::nullopt;
}

// The "fmt " chunk. An extensible one names its real format in the first two bytes of its
// sub-format GUID; the rest of that GUID is the same for every format a device plays.
std::optional<WaveFormat> readFormat(std::string_view chunk)
{
    if (chunk.size() < 16)
        return std::nullopt;
    std::uint16_t tag = std::uint16_t(little(chunk, 0, 2));
    if (tag == formatExtensible) {
        constexpr std::string_view guidTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
        if (chunk.size() < 40 || chunk.substr(26, 14) != guidTail)
            return std::nullopt;
        tag = std::uint16_t(little(chunk, 24, 2));
    }
    WaveFormat format;
    format.channels = int(little(chunk, 2, 2));
    format.rate = int(little(chunk, 4, 4) & 0x7FFFFFFF);
    format.bitsPerSample = int(little(chunk, 14, 2));
    const auto encoding = encodingOf(tag, format.bitsPerSample);
    // The block size must be what the device will be told a frame is.
    if (!encoding || format.channels < 1 || format.channels > 8 || format.rate < 1000 || format.rate > 384000
        || little(chunk, 12, 2) != std::uint32_t(format.bytesPerFrame()))
        return std::nullopt;
    format.encoding = *encoding;
    return format;
}

} // namespace

std::optional<WaveSound> readWave(std::string_view bytes)
{
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
        return std::nullopt;
    std::optional<WaveFormat> format;
    std::string_view data;
    // Chunks in any order; each is padded to an even size. A size past the end is cut to the end.
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string_view id = bytes.substr(at, 4);
        const std::size_t size = little(bytes, at + 4, 4);
        const std::string_view chunk = bytes.substr(at + 8, size);
        if (id == "fmt ")
            format = readFormat(chunk);
        else if (id == "data" && data.empty())
            data = chunk;
        if (size >= bytes.size() - at - 8)
            break;
        at += 8 + size + (size & 1);
    }
    if (!format)
        return std::nullopt;
    const std::size_t frameBytes = std::size_t(format->bytesPerFrame());
    data = data.substr(0, data.size() - data.size() % frameBytes);
    if (data.empty())
        return std::nullopt;
    return WaveSound{*format, data};
}

} // namespace zanfiro
