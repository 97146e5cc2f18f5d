// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's window opening a class's log: from nothing to the table shown (the log read,
// the pupils grouped, the table laid out and painted), for a log of N generated games by 25
// pupils in a few spellings each. Also the reading of the log alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

#include <random>

#include "app/qt/desk/results_window.h"
#include "app/qt/qt_host.h"
#include "record/log_reader.h"

using namespace zanfiro;

namespace {

std::string generatedLog(int games)
{
    const char* names[] = {"Anna", "Bea", "Carlo", "Dario", "Elena", "Franco", "Giulia", "Hassan", "Irene", "Jacopo",
        "Karim", "Luca", "Marta", "Niccolò", "Olga", "Paolo", "Quirino", "Rita", "Sara", "Tommaso", "Ugo", "Vera",
        "Wei", "Ximena", "Zoe"};
    std::mt19937 random(7);
    std::string bytes = gameLogHeader();
    std::time_t when = 1790000000;
    for (int i = 0; i < games; ++i) {
        FinishedGame game;
        when += 300 + random() % 600;
        game.start = localDateTime(when);
        game.end = localDateTime(when + 300);
        std::string name = names[random() % std::size(names)];
        if (random() % 4 == 0) // the same pupil typed otherwise
            name = " " + std::string(1, char(std::tolower(name[0]))) + name.substr(1);
        game.name = name;
        game.hits = int(random() % 60);
        game.misses = int(random() % 10);
        game.score = game.hits - 4 * game.misses;
        game.how = GameEnd::Clock;
        bytes += gameLogLine(game);
    }
    return bytes;
}

struct ClassFolder {
    explicit ClassFolder(int games)
    {
        QFile log(dir.path() + QStringLiteral("/partite.csv"));
        log.open(QIODevice::WriteOnly);
        const std::string bytes = generatedLog(games);
        log.write(bytes.data(), qint64(bytes.size()));
    }
    QTemporaryDir dir;
    QtHost host{recordfiles::RecordSettings{dir.path(), true}};
};

void tableShown(benchmark::State& state)
{
    ClassFolder folder(int(state.range(0)));
    for (auto _ : state) {
        desk::ResultsWindow window(folder.host, {});
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.table().grab());
    }
}
BENCHMARK(tableShown)->ArgName("games")->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void logRead(benchmark::State& state)
{
    const std::string bytes = generatedLog(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(readGameLog(bytes).games.size());
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
}
BENCHMARK(logRead)->ArgName("games")->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
