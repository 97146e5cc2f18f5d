// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/rnd.h"

#include <bit>
#include <cmath>

namespace zanfiro {

namespace {

std::uint64_t splitMix(std::uint64_t& state)
{
    state += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

} // namespace

float Rnd::next()
{
    if (!m_scripted.empty()) {
        const float value = m_scripted.front();
        m_scripted.pop_front();
        return value;
    }
    // 24 random bits over 2^24: every value is exact in a float and the largest is 1 - 2^-24.
    return static_cast<float>(splitMix(m_state) >> 40) * 0x1p-24F;
}

void Rnd::reseed(std::int16_t value)
{
    // Mixed in, not assigned: reseeding with the same value twice still moves the state on.
    m_state = splitMix(m_state) ^ (static_cast<std::uint64_t>(static_cast<std::uint16_t>(value)) << 17);
}

void Rnd::reseedFromTimer(double secondsSinceMidnight)
{
    const auto ticks = static_cast<std::uint64_t>(std::llround(secondsSinceMidnight * 1e7));
    m_state = splitMix(m_state) ^ std::rotl(ticks, 23);
}

void Rnd::script(const std::vector<float>& values)
{
    m_scripted.insert(m_scripted.end(), values.begin(), values.end());
}

} // namespace zanfiro
