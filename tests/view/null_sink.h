// SPDX-License-Identifier: GPL-3.0-or-later
// Hearing sounds in tests: a private sound server whose only output is a null sink, a recorder of
// that sink's monitor, and measures of what was recorded.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "sound/wave_file.h"

namespace sound_test {

using Samples = std::vector<std::int16_t>;

inline constexpr int recordRate = 22050;
inline constexpr double audibleDb = -45.0; // a whisper under the -3 dBFS peaks of our sounds

inline QString suoniDir()
{
    const QString fromBuild = qEnvironmentVariable("ZANFIRO_TEST_SUONI");
    return fromBuild.isEmpty() ? QCoreApplication::applicationDirPath() + "/../suoni" : fromBuild;
}

inline double levelDb(double rms) { return rms > 0 ? 20.0 * std::log10(rms / 32768.0) : -200.0; }

// One 10 ms window: its loudness and how often the wave crosses zero (noise of a shot crosses
// many times, the rumble of an explosion few).
struct Window {
    double db = -200.0;
    int zeroCrossings = 0;
};

inline std::vector<Window> windows(const Samples& s, int rate)
{
    const std::size_t windowSamples = std::size_t(rate / 100);
    std::vector<Window> out;
    for (std::size_t start = 0; start + windowSamples <= s.size(); start += windowSamples) {
        double sum = 0;
        Window w;
        for (std::size_t i = start; i < start + windowSamples; ++i) {
            sum += double(s[i]) * s[i];
            if (i > start && (s[i] < 0) != (s[i - 1] < 0))
                ++w.zeroCrossings;
        }
        w.db = levelDb(std::sqrt(sum / windowSamples));
        out.push_back(w);
    }
    return out;
}

// Seconds from the first audible window to the end of the last one; 0 for silence.
inline double audibleSeconds(const Samples& s, int rate = recordRate)
{
    const auto w = windows(s, rate);
    const auto loud = [](const Window& x) { return x.db > audibleDb; };
    const auto first = std::find_if(w.begin(), w.end(), loud);
    if (first == w.end())
        return 0.0;
    const auto last = std::find_if(w.rbegin(), w.rend(), loud);
    return double(std::distance(first, last.base())) / 100.0;
}

inline double peakDb(const Samples& s)
{
    int peak = 0;
    for (std::int16_t x : s)
        peak = std::max(peak, std::abs(int(x)));
    return levelDb(peak);
}

struct Wave {
    zanfiro::WaveEncoding encoding = zanfiro::WaveEncoding::Pcm;
    int channels = 0, rate = 0, bits = 0;
    Samples samples; // only for 16-bit files
};

// A wave file as the player reads it, with its samples as numbers when they are 16-bit.
inline Wave readWave(const QString& path)
{
    QFile file(path);
    Wave wave;
    if (!file.open(QIODevice::ReadOnly))
        return wave;
    const QByteArray b = file.readAll();
    const auto sound = zanfiro::readWave(std::string_view(b.constData(), std::size_t(b.size())));
    if (!sound)
        return wave;
    wave.encoding = sound->format.encoding;
    wave.channels = sound->format.channels;
    wave.rate = sound->format.rate;
    wave.bits = sound->format.bitsPerSample;
    for (std::size_t i = 0; wave.bits == 16 && i + 1 < sound->frames.size(); i += 2)
        wave.samples.push_back(qFromLittleEndian<qint16>(sound->frames.data() + i));
    return wave;
}

// A private PulseAudio daemon with one null sink, reachable through a socket in a temporary folder.
// The player reaches it as every ALSA program does: through ALSA's PulseAudio plugin, which makes
// a running server ALSA's default device.
class SoundServer {
public:
    bool start(QString* why)
    {
        const QString daemon = QStandardPaths::findExecutable("pulseaudio");
        if (daemon.isEmpty() || QStandardPaths::findExecutable("parec").isEmpty()) {
            *why = "pulseaudio or parec is not installed";
            return false;
        }
        const QString socket = m_dir.filePath("native");
        QDir(m_dir.path()).mkdir("run");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // Its cookie and runtime files stay in the temporary folder, away from any real session.
        env.insert("HOME", m_dir.path());
        env.insert("XDG_CONFIG_HOME", m_dir.path());
        env.insert("XDG_RUNTIME_DIR", m_dir.filePath("run"));
        m_daemon.setProcessEnvironment(env);
        m_daemon.setProcessChannelMode(QProcess::MergedChannels);
        // It ends by itself once idle, should this test process die without stopping it.
        m_daemon.start(daemon, {"--daemonize=no", "--exit-idle-time=10", "--use-pid-file=no", "-n",
                                "--log-level=error",
                                "--load=module-null-sink sink_name=" + m_sink,
                                "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket});
        m_daemon.waitForStarted();
        for (int i = 0; i < 100 && !QFile::exists(socket) && m_daemon.state() == QProcess::Running; ++i)
            QTest::qWait(50);
        if (!QFile::exists(socket)) {
            *why = "pulseaudio did not start: " + QString::fromLocal8Bit(m_daemon.readAll());
            return false;
        }
        qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
        for (int i = 0; i < 100 && !listsTheSink(); ++i)
            QTest::qWait(50);
        if (!listsTheSink()) {
            *why = "the test sink is not listed by the server";
            return false;
        }
        return true;
    }
    const QString& sink() const { return m_sink; }
    ~SoundServer()
    {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000))
            m_daemon.kill();
    }

private:
    bool listsTheSink() const
    {
        QProcess pactl;
        pactl.start("pactl", {"list", "short", "sinks"});
        return pactl.waitForFinished(3000) && pactl.readAllStandardOutput().contains(m_sink.toUtf8());
    }
    // A sink name of its own: a server started earlier in this process may still be listed.
    static inline int s_started = 0;
    QString m_sink = QString("zanfiro_test_%1").arg(++s_started);
    QTemporaryDir m_dir;
    QProcess m_daemon;
};

// Records what the null sink plays, as 16-bit mono at recordRate.
class Recorder {
public:
    explicit Recorder(const SoundServer& server)
    {
        m_parec.start("parec", {"--device=" + server.sink() + ".monitor", "--raw", "--format=s16le",
                                "--channels=1", QString("--rate=%1").arg(recordRate), "--latency-msec=10"});
        for (int i = 0; i < 100 && m_parec.bytesAvailable() == 0; ++i)
            QTest::qWait(50);
    }
    Samples stop(int afterMs)
    {
        QTest::qWait(afterMs);
        m_parec.terminate();
        m_parec.waitForFinished(3000);
        const QByteArray raw = m_parec.readAllStandardOutput();
        Samples s(std::size_t(raw.size() / 2));
        for (std::size_t i = 0; i < s.size(); ++i)
            s[i] = qFromLittleEndian<qint16>(raw.constData() + 2 * i);
        return s;
    }

private:
    QProcess m_parec;
};

// How many separate sounds: runs of audible windows parted by at least 30 ms of quiet.
inline int bursts(const Samples& s)
{
    int count = 0, quiet = 3;
    for (const Window& w : windows(s, recordRate)) {
        if (w.db > audibleDb) {
            count += quiet >= 3;
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return count;
}

} // namespace sound_test
