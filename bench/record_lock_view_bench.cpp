// SPDX-License-Identifier: GPL-3.0-or-later
// What the record lock adds to the end of a game on a local disk: taking and releasing it alone,
// and a whole commit of the record pair with and without it. The folder is made in the working
// directory, so run it from a folder on the disk to be measured (not a tmpfs).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "app/qt/qt_host.h"
#include "app/qt/record_folder.h"
#include "record/commit.h"
#include "record/game_log.h"

using namespace zanfiro;

namespace {

struct Folder {
    Folder() : dir(QDir::currentPath() + QStringLiteral("/lock-bench-XXXXXX")), paths(recordPaths(dir.path().toStdString() + "/")) { }
    QTemporaryDir dir;
    RecordPaths paths;
    QtHost host{recordfiles::RecordSettings{dir.path(), true}};
};

void lockTakeAndRelease(benchmark::State& state)
{
    Folder folder;
    int steps = 0;
    for (auto _ : state)
        folder.host.underRecordLock(folder.paths.folder, [&] { ++steps; }, false);
    benchmark::DoNotOptimize(steps);
}
BENCHMARK(lockTakeAndRelease)->Unit(benchmark::kMicrosecond);

void commit(benchmark::State& state)
{
    Folder folder;
    const bool locked = state.range(0) != 0;
    for (auto _ : state) {
        const auto step = [&] {
            recoverRecordCommit(folder.host, folder.paths);
            commitRecord(folder.host, folder.paths, " 12\r\n", "Anna\r\n");
        };
        locked ? folder.host.underRecordLock(folder.paths.folder, step, false) : step();
    }
}
BENCHMARK(commit)->ArgName("locked")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void logLine(benchmark::State& state)
{
    Folder folder;
    FinishedGame game;
    game.name = "Nicolò";
    for (auto _ : state)
        appendToGameLog(folder.host, folder.paths.folder, game);
}
BENCHMARK(logLine)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
