// SPDX-License-Identifier: GPL-3.0-or-later
// Each sound is heard through a private sound server; see null_sink.h.
#include "sound/wave_player.h"
#include "null_sink.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include <QProcess>
#include <QThread>

#include <sys/stat.h>

#include <memory>

namespace {

using namespace sound_test;

class WavePlayerOnServer : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server = std::make_unique<SoundServer>();
        if (!server->start(&whyNot))
            server.reset();
    }
    static void TearDownTestSuite() { server.reset(); }
    void SetUp() override
    {
        if (!server)
            GTEST_SKIP() << "no private sound server: " << whyNot.toStdString();
    }
    static std::string sound(const char* name) { return (suoniDir() + "/" + name).toStdString(); }
    static double explosionSeconds()
    {
        const Wave wave = readWave(QString::fromStdString(sound("esplosi.wav")));
        return audibleSeconds(wave.samples, wave.rate);
    }

    static inline std::unique_ptr<SoundServer> server;
    static inline QString whyNot;
    zanfiro::WavePlayer player;
};

// How long each sound is heard, above a whisper.
struct Sound {
    const char* name;
    double minSeconds, maxSeconds;
};
const Sound sounds[] = {{"sparo.wav", 0.08, 0.3}, {"esplosi.wav", 0.6, 1.0}, {"laser.wav", 0.3, 0.6}};
void PrintTo(const Sound& sound, std::ostream* out) { *out << sound.name; }
std::string soundLabel(const ::testing::TestParamInfo<Sound>& info)
{
    return QString(info.param.name).section('.', 0, 0).toStdString();
}

class ShippedSound : public ::testing::TestWithParam<Sound> {};

TEST_P(ShippedSound, IsQuietPlainPcmWithSilenceToSpare)
{
    const Wave wave = readWave(suoniDir() + "/" + GetParam().name);
    ASSERT_FALSE(wave.samples.empty());
    EXPECT_EQ(wave.encoding, zanfiro::WaveEncoding::Pcm);
    EXPECT_EQ(wave.channels, 1);
    EXPECT_EQ(wave.bits, 16);
    EXPECT_EQ(wave.rate, 48000) << "the rate sound devices mostly run at";
    EXPECT_NEAR(peakDb(wave.samples), -3.0, 0.5);
    const Samples tail(wave.samples.end() - wave.rate / 5, wave.samples.end());
    EXPECT_LT(peakDb(tail), -60.0) << "a player that stops a sound a little early must lose only silence";
    EXPECT_GE(audibleSeconds(wave.samples, wave.rate), GetParam().minSeconds);
    EXPECT_LE(audibleSeconds(wave.samples, wave.rate), GetParam().maxSeconds);
}

INSTANTIATE_TEST_SUITE_P(Suoni, ShippedSound, ::testing::ValuesIn(sounds), soundLabel);

class EachSound : public WavePlayerOnServer, public ::testing::WithParamInterface<Sound> {};

TEST_P(EachSound, PlaysThroughAtItsOwnLevel)
{
    const Wave file = readWave(QString::fromStdString(sound(GetParam().name)));
    Recorder recorder(*server);
    player.play(sound(GetParam().name));
    const Samples heard = recorder.stop(1500);
    EXPECT_GT(peakDb(heard), peakDb(file.samples) - 6.0);
    EXPECT_GT(audibleSeconds(heard), 0.7 * audibleSeconds(file.samples, file.rate));
}

INSTANTIATE_TEST_SUITE_P(Suoni, EachSound, ::testing::ValuesIn(sounds), soundLabel);

TEST_F(WavePlayerOnServer, PlaysFromAFolderNamedWithAnyCharacters)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("Zanfiro #1 è 100% sù?");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(sound("sparo.wav")), folder + "/sparo.wav"));
    Recorder recorder(*server);
    player.play((folder + "/sparo.wav").toStdString());
    EXPECT_GT(peakDb(recorder.stop(800)), -20.0);
}

TEST_F(WavePlayerOnServer, ShotCutsTheExplosionShort)
{
    player.preloadFolder(suoniDir().toStdString());
    Recorder recorder(*server);
    player.play(sound("esplosi.wav"));
    QTest::qWait(100);
    player.play(sound("sparo.wav"));
    const Samples heard = recorder.stop(1500);

    EXPECT_LT(audibleSeconds(heard), explosionSeconds() - 0.25) << "the explosion went on under the shot";
    const auto w = windows(heard, recordRate);
    const auto shotWindows = std::count_if(w.begin(), w.end(), [](const Window& x) {
        return x.db > -40.0 && x.zeroCrossings > 15;
    });
    EXPECT_GE(shotWindows, 3) << "the shot did not sound";
}

TEST_F(WavePlayerOnServer, EveryShotOfALongSeriesSounds)
{
    // A pupil hits dozens of times: every shot sounds, however often the device is stopped.
    player.preloadFolder(suoniDir().toStdString());
    constexpr int shots = 12;
    Recorder recorder(*server);
    for (int i = 0; i < shots; ++i) {
        player.play(sound("sparo.wav"));
        QTest::qWait(300);
    }
    EXPECT_EQ(bursts(recorder.stop(500)), shots);
}

// A hit holds the window for its whole green flash: ten frames of 15 ms in which the window's
// thread handles nothing at all.
void holdHitFlash()
{
    for (int frame = 0; frame < 10; ++frame)
        QThread::msleep(15);
}

// The longest run of quiet windows from `from` up to `to`.
std::ptrdiff_t longestQuiet(std::vector<Window>::const_iterator from, std::vector<Window>::const_iterator to)
{
    std::ptrdiff_t longest = 0, run = 0;
    for (auto w = from; w != to; ++w) {
        run = w->db > audibleDb ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest;
}

TEST_F(WavePlayerOnServer, ASoundPlaysOnThroughAFlashUntilTheNextOneCutsIt)
{
    player.preloadFolder(suoniDir().toStdString());
    Recorder recorder(*server);
    player.play(sound("esplosi.wav"));
    QTest::qWait(100);
    holdHitFlash();
    player.play(sound("sparo.wav"));
    const Samples heard = recorder.stop(800);

    // The rumble crosses zero seldom, the shot's noise often: the shot starts at its first
    // busy window.
    const auto w = windows(heard, recordRate);
    const auto loud = [](const Window& x) { return x.db > audibleDb; };
    const auto explosion = std::find_if(w.begin(), w.end(), loud);
    const auto shot = std::find_if(explosion, w.end(), [&](const Window& x) { return loud(x) && x.zeroCrossings > 15; });
    ASSERT_NE(shot, w.end()) << "the shot did not sound";
    EXPECT_GE(std::count_if(explosion, shot, loud), 15) << "the explosion did not last through the flash";
    // A window that runs dry leaves tens of milliseconds of silence; stopping one sound and
    // starting the next leaves at most a few.
    EXPECT_LE(longestQuiet(explosion, shot), 3) << "the explosion dropped out during the flash";
}

TEST_F(WavePlayerOnServer, AFileThatCannotPlayStillStopsTheSoundPlaying)
{
    Recorder recorder(*server);
    player.play(sound("esplosi.wav"));
    QTest::qWait(150);
    player.play(sound("nessuno.wav"));
    EXPECT_LT(audibleSeconds(recorder.stop(1500)), explosionSeconds() - 0.25);
}

// A FIFO named like a sound, read ahead or played, must not hold the sound thread: the shot after
// it still sounds.
TEST_F(WavePlayerOnServer, AFifoNamedLikeASoundHoldsNothingUp)
{
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath("sparo.wav"));
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    Recorder recorder(*server);
    player.preloadFolder(dir.path().toStdString());
    player.play(fifo.toStdString());
    QTest::qWait(100);
    player.play(sound("sparo.wav"));
    EXPECT_GT(peakDb(recorder.stop(800)), -20.0);
}

// Any plain wave put in place of ours plays, whatever its format; ours plays again after it.
class OtherFormat : public WavePlayerOnServer, public ::testing::WithParamInterface<const char*> {};

TEST_P(OtherFormat, PlaysAndOursStillDoesAfterIt)
{
    QTemporaryDir dir;
    const QString other = dir.filePath("sparo.wav");
    QProcess sox;
    sox.start("sox", QString(GetParam()).arg(QString::fromStdString(sound("esplosi.wav")), other).split(' '));
    ASSERT_TRUE(sox.waitForFinished(10000) && sox.exitCode() == 0) << sox.readAllStandardError().toStdString();
    Recorder recorder(*server);
    player.play(other.toStdString());
    EXPECT_GT(peakDb(recorder.stop(700)), -12.0);
    Recorder again(*server);
    player.play(sound("sparo.wav"));
    EXPECT_GT(peakDb(again.stop(700)), -12.0);
}

INSTANTIATE_TEST_SUITE_P(Formats, OtherFormat,
                         ::testing::Values("%1 -b 8 -c 2 -r 22050 %2", "%1 -e floating-point -b 32 -r 44100 %2",
                                           "%1 -e mu-law -r 8000 %2", "%1 -b 24 -c 2 %2"));

// Everything that is not a playable wave: what the player must do is nothing, without a fallback beep.
struct Unplayable {
    const char* label;
    const char* name;
    QByteArray content; // written to `name` inside a temporary folder, unless null
};

void PrintTo(const Unplayable& file, std::ostream* out) { *out << file.label; }

class UnplayableFile : public WavePlayerOnServer, public ::testing::WithParamInterface<Unplayable> {};

TEST_P(UnplayableFile, IsSilence)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(GetParam().name);
    if (!GetParam().content.isNull()) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(GetParam().content);
    }
    Recorder recorder(*server);
    player.play(path.toStdString());
    player.play(path.toStdString()); // a second try finds the failed load and must stay as quiet
    EXPECT_LT(peakDb(recorder.stop(800)), -60.0);
}

const Unplayable unplayables[] = {
    {"Missing", "sparo.wav", QByteArray()},
    {"FolderMissing", "suoni/sparo.wav", QByteArray()},
    {"Empty", "sparo.wav", QByteArray("")},
    {"Text", "sparo.wav", QByteArray("Non sono un suono.\r\n")},
    {"TruncatedHeader", "sparo.wav", QByteArray("RIFF\x24\x00\x00\x00WAVEfmt ", 16)},
};

INSTANTIATE_TEST_SUITE_P(Faults, UnplayableFile, ::testing::ValuesIn(unplayables),
                         [](const auto& info) { return std::string(info.param.label); });

// The tasks of this process named as the player names its thread.
QFileInfoList soundTasks()
{
    QFileInfoList tasks;
    for (const QFileInfo& task : QDir("/proc/self/task").entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(task.filePath() + "/comm");
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "zanfiro sound")
            tasks.append(task);
    }
    return tasks;
}

int soundThreadsNow() { return int(soundTasks().size()); }

// The nanoseconds the one sound thread has run so far, from the scheduler's own count; -1 without one.
qlonglong soundThreadRunNs()
{
    const QFileInfoList tasks = soundTasks();
    QFile schedstat(tasks.size() == 1 ? tasks.front().filePath() + "/schedstat" : QString());
    return schedstat.open(QIODevice::ReadOnly) ? schedstat.readAll().split(' ').front().toLongLong() : -1;
}

// The count, given up to a second to come down to `expected`: a thread that has finished its work
// leaves the process's task list a moment after those waiting for it have been told.
int soundThreads(int expected)
{
    int count = soundThreadsNow();
    for (int tries = 0; tries < 100 && count > expected; ++tries) {
        QThread::msleep(10);
        count = soundThreadsNow();
    }
    return count;
}

TEST_F(WavePlayerOnServer, APlayerThatGoesMidSoundSilencesItAndTakesItsThread)
{
    Recorder recorder(*server);
    {
        zanfiro::WavePlayer leaving;
        leaving.play(sound("esplosi.wav"));
        QTest::qWait(150);
        EXPECT_EQ(soundThreadsNow(), 2);
    }
    EXPECT_EQ(soundThreads(1), 1) << "only the fixture's player may have one";
    EXPECT_LT(audibleSeconds(recorder.stop(1000)), explosionSeconds() - 0.25);
}

// A sound server that goes away mid-sound and comes back (restarted by the desktop) is found
// again at the next sound, without restarting the game.
TEST(WavePlayerAcrossServers, HearsTheServerThatComesBack)
{
    QString whyNot;
    auto first = std::make_unique<SoundServer>();
    if (!first->start(&whyNot))
        GTEST_SKIP() << "no private sound server: " << whyNot.toStdString();
    zanfiro::WavePlayer player;
    player.play((suoniDir() + "/esplosi.wav").toStdString());
    QTest::qWait(200);
    first.reset();
    player.play((suoniDir() + "/sparo.wav").toStdString()); // into the void: silence, no hang
    QTest::qWait(200);
    SoundServer second;
    ASSERT_TRUE(second.start(&whyNot)) << whyNot.toStdString();
    Recorder recorder(second);
    player.play((suoniDir() + "/sparo.wav").toStdString());
    EXPECT_GT(peakDb(recorder.stop(800)), -20.0);
}

// Exit status 0: silence and no complaint; 2: the thread did not sleep; 3: a thread was left behind.
[[noreturn]] void playWithoutServer()
{
    qputenv("PULSE_SERVER", "unix:/nonexistent/zanfiro/native");
    {
        zanfiro::WavePlayer player;
        player.preloadFolder(suoniDir().toStdString());
        for (const char* name : {"laser.wav", "sparo.wav", "nessuno.wav", "esplosi.wav"})
            player.play((suoniDir() + "/" + name).toStdString());
        QTest::qWait(300);
        player.play((suoniDir() + "/sparo.wav").toStdString());
        QTest::qWait(200);
        // With no device the thread sleeps till the next sound: it does not look for one meanwhile.
        const qlonglong ran = soundThreadRunNs();
        QTest::qWait(500);
        if (ran < 0 || soundThreadRunNs() != ran)
            std::_Exit(2);
    }
    std::_Exit(soundThreads(0) == 0 ? 0 : 3);
}

TEST(WavePlayerWithoutServer, StaysSilentAsleepAndQuietAndLeavesNoThread)
{
    // In a process of its own: ALSA reads its configuration, and so finds the server, once per process.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Not a word from ALSA, or anyone, about the missing device: nothing but the toolkit's own
    // note on the runtime folder, which a test process may print before any sound.
    const auto saysNothing = [](const std::string& said) {
        std::istringstream lines(said);
        for (std::string line; std::getline(lines, line);)
            if (!line.empty() && line.rfind("QStandardPaths: ", 0) != 0)
                return false;
        return true;
    };
    EXPECT_EXIT(playWithoutServer(), ::testing::ExitedWithCode(0), ::testing::Truly(saysNothing));
}

// Exit status 0: the shot was heard; 2: no private server; 3: silence.
[[noreturn]] void hearAServerStartedAfterThePlayer()
{
    qputenv("PULSE_SERVER", "unix:/nonexistent/zanfiro/native");
    zanfiro::WavePlayer player;
    const std::string shot = (suoniDir() + "/sparo.wav").toStdString();
    player.play(shot); // into the void
    QTest::qWait(200);
    int status = 2;
    {
        SoundServer server;
        QString whyNot;
        if (server.start(&whyNot)) {
            Recorder recorder(server);
            player.play(shot);
            status = peakDb(recorder.stop(800)) > -20.0 ? 0 : 3;
        }
    }
    std::_Exit(status);
}

// Headphones plugged in, or the desktop's sound server started, after the window opened: the
// next sound is heard.
TEST(WavePlayerWithoutServer, HearsAServerStartedAfterIt)
{
    if (QStandardPaths::findExecutable("pulseaudio").isEmpty() || QStandardPaths::findExecutable("parec").isEmpty())
        GTEST_SKIP() << "pulseaudio or parec is not installed";
    // In a process of its own, for ALSA to read its configuration first with no server running.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(hearAServerStartedAfterThePlayer(), ::testing::ExitedWithCode(0), "");
}

} // namespace
