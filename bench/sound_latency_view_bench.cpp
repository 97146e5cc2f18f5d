// SPDX-License-Identifier: GPL-3.0-or-later
// How soon a sound is heard, and whether one drops out, while the window holds a hit's flash.
// Each run, on a private null sink: the explosion starts, plays 100 ms, the window's thread is
// held for ten 15 ms frames, and the shot cuts the explosion. A recorder on a thread of its own
// stamps every chunk of the sink's monitor as it arrives, which maps each recorded sample to the
// clock of the play() calls. Prints every run and the medians.
// Usage: sound_latency_view_bench [runs] [folder of the three sounds]
#include "sound/wave_player.h"
#include "null_sink.h"

#include <QApplication>
#include <QThread>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace sound_test;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

// parec on the sink's monitor, read on a thread of its own so that a held window delays nothing.
class TimedRecorder {
public:
    explicit TimedRecorder(const QString& sink)
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const QByteArray device = "--device=" + sink.toUtf8() + ".monitor";
        const QByteArray rate = "--rate=" + QByteArray::number(recordRate);
        const char* argv[] = {"parec", device.constData(), "--raw", "--format=s16le", "--channels=1",
                              rate.constData(), "--latency-msec=5", nullptr};
        posix_spawnp(&m_pid, "parec", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        m_fd = fds[0];
        m_reader = std::thread([this] { read(); });
        while (m_chunks.load() == 0 && m_pid > 0)
            QThread::msleep(5);
    }
    // The recording, and the clock time of its first sample (at the latest).
    Samples stop(Clock::time_point* sampleZero)
    {
        kill(m_pid, SIGTERM);
        m_reader.join();
        waitpid(m_pid, nullptr, 0);
        close(m_fd);
        *sampleZero = m_sampleZero;
        return m_samples;
    }

private:
    void read()
    {
        char buffer[2048];
        ssize_t got = 0;
        while ((got = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            const Clock::time_point now = Clock::now();
            for (ssize_t i = 0; i + 1 < got; i += 2)
                m_samples.push_back(qFromLittleEndian<qint16>(buffer + i));
            // A chunk arrives after its last sample was made: the earliest bound is the tightest.
            const auto made = now - std::chrono::microseconds(std::int64_t(m_samples.size()) * 1000000 / recordRate);
            if (m_chunks++ == 0 || made < m_sampleZero)
                m_sampleZero = made;
        }
    }
    pid_t m_pid = 0;
    int m_fd = -1;
    std::thread m_reader;
    std::atomic<int> m_chunks = 0;
    Clock::time_point m_sampleZero;
    Samples m_samples;
};

// 5 ms blocks: finer than the tests' windows, for onsets.
constexpr int blockSamples = recordRate / 200;

struct Block {
    double db;
    int crossings;
};

std::vector<Block> blocks(const Samples& s)
{
    std::vector<Block> out;
    for (std::size_t at = 0; at + blockSamples <= s.size(); at += blockSamples) {
        double sum = 0;
        int crossings = 0;
        for (std::size_t i = at; i < at + blockSamples; ++i) {
            sum += double(s[i]) * s[i];
            crossings += i > at && (s[i] < 0) != (s[i - 1] < 0);
        }
        out.push_back({levelDb(std::sqrt(sum / blockSamples)), crossings});
    }
    return out;
}

struct Run {
    double firstLatencyMs = -1, shotLatencyMs = -1, longestQuietMs = -1, explosionMs = -1;
};

Run measure(zanfiro::WavePlayer& player, const SoundServer& server, const QString& folder)
{
    TimedRecorder recorder(server.sink());
    QTest::qWait(300);
    const Clock::time_point first = Clock::now();
    player.play((folder + "/esplosi.wav").toStdString());
    QTest::qWait(100);
    for (int frame = 0; frame < 10; ++frame)
        QThread::msleep(15);
    const Clock::time_point shot = Clock::now();
    player.play((folder + "/sparo.wav").toStdString());
    QTest::qWait(700);
    Clock::time_point sampleZero;
    const std::vector<Block> b = blocks(recorder.stop(&sampleZero));

    const auto timeOf = [&](std::size_t block) {
        return sampleZero + std::chrono::microseconds(std::int64_t(block) * blockSamples * 1000000 / recordRate);
    };
    const auto loud = [](const Block& x) { return x.db > audibleDb; };
    const auto start = std::find_if(b.begin(), b.end(), loud);
    // The shot's noise crosses zero many times in a block, the explosion's rumble a few.
    const auto shotStart = std::find_if(start, b.end(), [&](const Block& x) { return loud(x) && x.crossings > 8; });
    Run run;
    if (start == b.end() || shotStart == b.end())
        return run;
    run.firstLatencyMs = Ms(timeOf(std::size_t(start - b.begin())) - first).count();
    run.shotLatencyMs = Ms(timeOf(std::size_t(shotStart - b.begin())) - shot).count();
    run.explosionMs = double(std::count_if(start, shotStart, loud)) * 5.0;
    int quiet = 0, longest = 0;
    for (auto x = start; x != shotStart; ++x) {
        quiet = loud(*x) ? 0 : quiet + 1;
        longest = std::max(longest, quiet);
    }
    run.longestQuietMs = longest * 5.0;
    return run;
}

// A player made at the moment of its first sound, with nothing loaded: what starting the sound
// thread lazily, on the first click, would cost that click. The connection to the server is
// made already; in a fresh program it comes on top.
double firstSoundOfAFreshPlayerMs(const SoundServer& server, const QString& folder)
{
    TimedRecorder recorder(server.sink());
    QTest::qWait(300);
    const Clock::time_point asked = Clock::now();
    {
        zanfiro::WavePlayer player;
        player.play((folder + "/laser.wav").toStdString());
        QTest::qWait(600);
    }
    Clock::time_point sampleZero;
    const std::vector<Block> b = blocks(recorder.stop(&sampleZero));
    const auto start = std::find_if(b.begin(), b.end(), [](const Block& x) { return x.db > audibleDb; });
    if (start == b.end())
        return -1;
    const auto at = std::int64_t(start - b.begin()) * blockSamples * 1000000 / recordRate;
    return Ms(sampleZero + std::chrono::microseconds(at) - asked).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : suoniDir();
    SoundServer server;
    QString whyNot;
    if (!server.start(&whyNot)) {
        std::fprintf(stderr, "no private sound server: %s\n", qPrintable(whyNot));
        return 2;
    }
    std::vector<double> fresh;
    for (int i = 0; i < std::max(runs, 2); ++i)
        fresh.push_back(firstSoundOfAFreshPlayerMs(server, folder));
    std::printf("first sound of a fresh player, nothing preloaded: %.1f ms, then median %.1f ms\n",
                fresh.front(), median({fresh.begin() + 1, fresh.end()}));

    zanfiro::WavePlayer player;
    player.preloadFolder(folder.toStdString());
    QTest::qWait(500);
    std::vector<double> first, shot, quiet, explosion;
    std::printf("run  explosion heard after  shot heard after  explosion sounded  longest quiet before shot\n");
    for (int i = 0; i < runs; ++i) {
        const Run run = measure(player, server, folder);
        std::printf("%3d  %18.1f ms  %13.1f ms  %14.0f ms  %23.0f ms\n", i + 1, run.firstLatencyMs,
                    run.shotLatencyMs, run.explosionMs, run.longestQuietMs);
        first.push_back(run.firstLatencyMs);
        shot.push_back(run.shotLatencyMs);
        explosion.push_back(run.explosionMs);
        quiet.push_back(run.longestQuietMs);
    }
    std::printf("median  explosion heard after %.1f ms, shot heard after %.1f ms, explosion sounded %.0f ms,"
                " longest quiet %.0f ms\n", median(first), median(shot), median(explosion), median(quiet));
    return 0;
}
