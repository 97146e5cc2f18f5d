// SPDX-License-Identifier: GPL-3.0-or-later
// What one event of play costs the model alone: the view's repaint and the flash's held frames
// are left out (this host holds no frame and logs nothing).
#include <benchmark/benchmark.h>

#include "app/tavola.h"
#include "bench/quiet_host.h"

namespace {

using namespace zanfiro;

using bench::QuietHost;

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
