// SPDX-License-Identifier: GPL-3.0-or-later
// A started window whose host notes what the window looked like at every sound, box, held frame
// and clock read: the order of a handler's effects reads straight off that list.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/tavola.h"
#include "scripted_host.h"

namespace zanfiro::test {

inline constexpr float lowestDraw = 0.0F;
inline constexpr float highestDraw = 1.0F - 0x1p-24F; // 0.99999994

class SnapshotHost : public ScriptedHost {
public:
    std::function<std::string()> snapshot;
    std::vector<std::string> moments;

    int msgBox(const std::string& prompt, int buttons, const std::string& title) override
    {
        note("box");
        return ScriptedHost::msgBox(prompt, buttons, title);
    }
    void playWave(const std::string& path) override
    {
        note("wave " + path);
        ScriptedHost::playWave(path);
    }
    double systemTimer() override
    {
        note("clock");
        return ScriptedHost::systemTimer();
    }
    void holdFrame(int ms) override
    {
        note("frame");
        ScriptedHost::holdFrame(ms);
    }

private:
    void note(const std::string& what)
    {
        if (snapshot)
            moments.push_back(what + ": " + snapshot());
    }
};

class PlayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tavola.start();
        host.log.clear();
    }

    Control& ctl(Ctl id) { return tavola.ctl(id); }
    GameState& state() { return tavola.state(); }
    int number(Ctl id) { return std::stoi(ctl(id).caption); }

    SnapshotHost host;
    Tavola tavola{host};
};

} // namespace zanfiro::test
