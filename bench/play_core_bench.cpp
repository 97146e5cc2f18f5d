// SPDX-License-Identifier: GPL-3.0-or-later
// What one event of play costs the model alone: the view's repaint and the flash's held frames
// are left out (this host holds no frame and logs nothing).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "app/tavola.h"

namespace {

using namespace zanfiro;

class QuietHost : public Host {
public:
    int msgBox(const std::string&, int, const std::string&) override { return answer::ok; }
    std::string inputBox(const std::string&, const std::string&) override { return {}; }
    void playWave(const std::string&) override { }
    std::string programDir() override { return "/prog"; }
    std::string recordDir() override { return "/records"; }
    FileKind fileKind(const std::string&) override { return FileKind::Regular; }
    void touchAppend(const std::string&) override { }
    std::string readBytes(const std::string&, std::size_t, std::uint64_t* fileSize) override
    {
        if (fileSize)
            *fileSize = 0;
        return {};
    }
    void writeDurable(const std::string&, const std::string&) override { }
    void replaceFile(const std::string&, const std::string&) override { }
    void removeFile(const std::string&) override { }
    double systemTimer() override { return m_seconds += 0.0137; }
    void holdFrame(int) override { }
    void windowUnloaded() override { }
    void windowShown() override { }
    [[noreturn]] void endProgram(int) override { std::abort(); }

private:
    double m_seconds = 30000;
};

struct StartedWindow {
    StartedWindow()
    {
        tavola.start();
        tavola.Form_Click();
    }
    QuietHost host;
    Tavola tavola{host};
};

void turnRefresh(benchmark::State& bench)
{
    StartedWindow window;
    for (auto _ : bench)
        window.tavola.cmdNext_Click();
}
BENCHMARK(turnRefresh);

void shuffleTick(benchmark::State& bench)
{
    StartedWindow window;
    for (auto _ : bench)
        window.tavola.Timer2_Timer();
}
BENCHMARK(shuffleTick);

// 20000 colour assignments, the score, the new number and a turn refresh.
void hitWithoutHeldFrames(benchmark::State& bench)
{
    StartedWindow window;
    for (auto _ : bench) {
        window.tavola.state().score = 0; // a long run would otherwise overflow the score
        window.tavola.paricmd_Click();
    }
}
BENCHMARK(hitWithoutHeldFrames);

void missWithoutHeldFrames(benchmark::State& bench)
{
    StartedWindow window;
    for (auto _ : bench) {
        window.tavola.state().score = 0;
        window.tavola.disparicmd_Click();
    }
}
BENCHMARK(missWithoutHeldFrames);

} // namespace
