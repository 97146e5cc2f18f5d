// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

namespace zanfiro {

// The game's one pseudo-random source. A draw is a single-precision value strictly below 1;
// a reseed mixes its value into the state instead of replacing it, so the many reseeds with 0
// still give varying numbers.
class Rnd {
public:
    static constexpr std::uint64_t defaultState = 0x5A4E4649524F2025ULL;

    explicit Rnd(std::uint64_t state = defaultState) : m_state(state) { }

    float next();
    void reseed(std::int16_t value);
    void reseedFromTimer(double secondsSinceMidnight);

    std::uint64_t state() const { return m_state; }
    void setState(std::uint64_t state) { m_state = state; }
    // Tests: the next draws return these values, in order, before the generator takes over.
    void script(const std::vector<float>& values);
    bool scripted() const { return !m_scripted.empty(); }

private:
    std::uint64_t m_state;
    std::deque<float> m_scripted;
};

} // namespace zanfiro
