// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a wave file's format and samples: every plain format a sound device can be asked to
// play, and nothing else, whatever the bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "sound/wave_file.h"

using namespace zanfiro;

namespace {

std::string little(std::uint32_t value, int size)
{
    std::string bytes;
    for (int i = 0; i < size; ++i)
        bytes += char(value >> (8 * i) & 0xFF);
    return bytes;
}

std::string chunk(const std::string& id, const std::string& body)
{
    return id + little(std::uint32_t(body.size()), 4) + body + (body.size() % 2 ? std::string(1, '\0') : "");
}

std::string fmt(int tag, int channels, int rate, int bits, int blockAlign = -1)
{
    if (blockAlign < 0)
        blockAlign = channels * bits / 8;
    return chunk("fmt ", little(std::uint32_t(tag), 2) + little(std::uint32_t(channels), 2) + little(std::uint32_t(rate), 4)
                             + little(std::uint32_t(rate) * std::uint32_t(blockAlign), 4) + little(std::uint32_t(blockAlign), 2)
                             + little(std::uint32_t(bits), 2));
}

std::string extensible(int subTag, int channels, int rate, int bits, bool knownGuid = true)
{
    const int block = channels * bits / 8;
    const std::string guidTail = knownGuid ? std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14)
                                           : std::string(14, '\x55');
    return chunk("fmt ", little(0xFFFE, 2) + little(std::uint32_t(channels), 2) + little(std::uint32_t(rate), 4)
                             + little(std::uint32_t(rate) * std::uint32_t(block), 4) + little(std::uint32_t(block), 2)
                             + little(std::uint32_t(bits), 2) + little(22, 2) + little(std::uint32_t(bits), 2)
                             + little(3, 4) + little(std::uint32_t(subTag), 2) + guidTail);
}

std::string riff(const std::string& chunks) { return "RIFF" + little(std::uint32_t(4 + chunks.size()), 4) + "WAVE" + chunks; }

// 96 bytes: whole frames of every format below, from one byte to eight channels of 32 bits.
const std::string samples = std::string() + "0123456789ABCDEFGHIJKLMNOPQRSTUV" + "abcdefghijklmnopqrstuvwxyz!?#$%&" + "0123456789abcdefghijklmnopqrstuv";

struct Playable {
    const char* label;
    std::string fmtChunk;
    WaveFormat expected;
};

class PlayableWave : public ::testing::TestWithParam<Playable> {};

TEST_P(PlayableWave, GivesItsFormatAndAllItsSamples)
{
    const std::string file = riff(GetParam().fmtChunk + chunk("data", samples));
    const auto wave = readWave(file);
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->format, GetParam().expected);
    EXPECT_EQ(wave->frames, samples);
}

using E = WaveEncoding;
INSTANTIATE_TEST_SUITE_P(Formats, PlayableWave, ::testing::Values(
    Playable{"Pcm16Mono48k", fmt(1, 1, 48000, 16), {E::Pcm, 1, 48000, 16}},
    Playable{"Pcm8Stereo", fmt(1, 2, 22050, 8), {E::Pcm, 2, 22050, 8}},
    Playable{"Pcm24", fmt(1, 2, 44100, 24), {E::Pcm, 2, 44100, 24}},
    Playable{"Pcm32", fmt(1, 1, 96000, 32), {E::Pcm, 1, 96000, 32}},
    Playable{"Float32", fmt(3, 2, 44100, 32), {E::Float, 2, 44100, 32}},
    Playable{"Float64", fmt(3, 1, 8000, 64), {E::Float, 1, 8000, 64}},
    Playable{"ALaw", fmt(6, 1, 8000, 8), {E::ALaw, 1, 8000, 8}},
    Playable{"MuLaw", fmt(7, 1, 8000, 8), {E::MuLaw, 1, 8000, 8}},
    Playable{"ExtensiblePcm", extensible(1, 2, 48000, 16), {E::Pcm, 2, 48000, 16}},
    Playable{"ExtensibleFloat", extensible(3, 8, 48000, 32), {E::Float, 8, 48000, 32}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(WaveChunks, AreFoundInAnyOrderPastOthersOfOddSize)
{
    const std::string file = riff(chunk("LIST", "odd") + chunk("data", samples) + chunk("fact", "1234") + fmt(1, 1, 8000, 16));
    const auto wave = readWave(file);
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->frames, samples);
}

TEST(WaveChunks, DataCutShortKeepsTheWholeFramesThatAreThere)
{
    // A copy broken off mid-way declares more samples than it holds, and ends inside a frame.
    std::string file = riff(fmt(1, 2, 44100, 16) + chunk("data", samples + samples)).substr(0, 36 + 8 + 31);
    const auto wave = readWave(file);
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->frames, samples.substr(0, 28));
}

struct Unplayable {
    const char* label;
    std::string bytes;
};

class UnplayableWave : public ::testing::TestWithParam<Unplayable> {};

TEST_P(UnplayableWave, IsNothingToPlay)
{
    EXPECT_FALSE(readWave(GetParam().bytes));
}

const std::string data = chunk("data", samples);
INSTANTIATE_TEST_SUITE_P(Faults, UnplayableWave, ::testing::Values(
    Unplayable{"Empty", ""},
    Unplayable{"Text", "Non sono un suono.\r\n"},
    Unplayable{"HeaderOnly", riff("")},
    Unplayable{"NotWave", "RIFF" + little(40, 4) + "AVI " + fmt(1, 1, 8000, 16) + data},
    Unplayable{"NoFormat", riff(data)},
    Unplayable{"NoSamples", riff(fmt(1, 1, 8000, 16))},
    Unplayable{"EmptyData", riff(fmt(1, 1, 8000, 16) + chunk("data", ""))},
    Unplayable{"LessThanAFrame", riff(fmt(1, 8, 8000, 32) + chunk("data", "abc"))},
    Unplayable{"FormatCutShort", riff(chunk("fmt ", std::string(14, '\1')) + data)},
    Unplayable{"Adpcm", riff(fmt(2, 1, 8000, 4, 256) + data)},
    Unplayable{"TwelveBits", riff(fmt(1, 1, 8000, 12, 2) + data)},
    Unplayable{"NoChannels", riff(fmt(1, 0, 8000, 16, 2) + data)},
    Unplayable{"NineChannels", riff(fmt(1, 9, 8000, 16) + data)},
    Unplayable{"NoRate", riff(fmt(1, 1, 0, 16) + data)},
    Unplayable{"HugeRate", riff(fmt(1, 1, 0x7FFFFFFF, 16) + data)},
    Unplayable{"BlockNotAFrame", riff(fmt(1, 2, 8000, 16, 3) + data)},
    Unplayable{"ExtensibleOfAnotherKind", riff(extensible(1, 2, 48000, 16, false) + data)},
    Unplayable{"ChunkSizePastFourGigabytes", riff("fmt " + little(0xFFFFFFFF, 4) + "x")}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
