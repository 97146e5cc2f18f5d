// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux player: ALSA's default device (the desktop's sound server, through ALSA's plugin for
// it, or the sound card itself), kept full from a thread of its own.
#include "sound/wave_player.h"
#include "sound/wave_cache_posix.h"

#include <alsa/asoundlib.h>
#include <pthread.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <limits>
#include <mutex>
#include <thread>

namespace zanfiro {
namespace {

using Clock = std::chrono::steady_clock;

// How much sound the device holds ahead: a sound thread that a busy machine leaves waiting this
// long still never lets it run dry. A newer sound does not wait for it: the device is emptied at
// once (snd_pcm_drop) and the newer sound written in its place.
constexpr unsigned deviceBufferUs = 200'000;
// How often the thread tops the device up while a sound is played: it leaves the device at least
// seven eighths full.
constexpr auto topUpEvery = std::chrono::microseconds(deviceBufferUs / 8);
// A sound server that stopped answering must not keep the program from ending.
constexpr auto longestGoodbye = std::chrono::seconds(3);

snd_pcm_format_t alsaFormat(const WaveFormat& format)
{
    switch (format.encoding) {
    case WaveEncoding::Pcm:
        switch (format.bitsPerSample) {
        case 8: return SND_PCM_FORMAT_U8;
        case 16: return SND_PCM_FORMAT_S16_LE;
        case 24: return SND_PCM_FORMAT_S24_3LE;
        default: return SND_PCM_FORMAT_S32_LE;
        }
    case WaveEncoding::Float: return format.bitsPerSample == 64 ? SND_PCM_FORMAT_FLOAT64_LE : SND_PCM_FORMAT_FLOAT_LE;
    case WaveEncoding::ALaw: return SND_PCM_FORMAT_A_LAW;
    case WaveEncoding::MuLaw: return SND_PCM_FORMAT_MU_LAW;
    }
    return SND_PCM_FORMAT_UNKNOWN;
}

// ALSA tells stderr about every device it could not open; for a game a missing device is silence.
void sayNothing(const char*, int, const char*, int, const char*, ...) { }

struct Command {
    enum Kind { Play, Preload } kind;
    std::string path;
};

} // namespace

struct WavePlayer::SoundThread {
    // Shared with the window's thread.
    std::mutex mutex;
    std::condition_variable wake, ended;
    std::deque<Command> commands;
    bool leaving = false;
    bool finished = false;
    std::thread thread;

    // The sound thread's own.
    enum class Stage { Idle, Feeding, Draining };
    snd_pcm_t* pcm = nullptr;
    std::optional<WaveFormat> pcmFormat;
    WaveCache waves;
    std::shared_ptr<const LoadedWave> current;
    std::size_t written = 0; // bytes of current
    Stage stage = Stage::Idle;
    Clock::time_point nextStep; // the next top-up while feeding, the end of the sound while draining
    snd_pcm_sframes_t queuedAtLastLook = 0; // frames the device held at the last look while draining

    void run();
    void carryOut(const Command& command);
    bool prepareFor(const WaveFormat& format);
    void feed();
    void drain();
    void stop();
    bool openDevice();
    void closeDevice();
};

void WavePlayer::SoundThread::run()
{
    pthread_setname_np(pthread_self(), "zanfiro sound");
    snd_lib_error_set_handler(sayNothing);
    // Connected ahead, so the first sound does not wait for it; with no device yet, the next
    // sound looks again, and the thread sleeps till then.
    openDevice();
    for (;;) {
        std::optional<Command> command;
        {
            std::unique_lock lock(mutex);
            const auto called = [this] { return leaving || !commands.empty(); };
            if (stage == Stage::Idle)
                wake.wait(lock, called);
            else
                wake.wait_until(lock, nextStep, called);
            if (leaving)
                break;
            if (!commands.empty()) {
                command = std::move(commands.front());
                commands.pop_front();
            }
        }
        // Out of memory for a sound is silence for that sound, not the end of the game.
        if (command) {
            try {
                carryOut(*command);
            } catch (const std::exception&) {
                stop();
            }
        }
        else if (stage == Stage::Feeding && Clock::now() >= nextStep)
            feed();
        else if (stage == Stage::Draining && Clock::now() >= nextStep)
            drain();
    }
    closeDevice();
    std::lock_guard lock(mutex);
    finished = true;
    ended.notify_all();
}

void WavePlayer::SoundThread::carryOut(const Command& command)
{
    if (command.kind == Command::Preload) {
        waves.loadFolder(command.path);
        return;
    }
    // The sound still playing stops first, even if the new one can't play.
    stop();
    const auto wave = waves.load(command.path);
    if (!wave || !prepareFor(wave->sound.format))
        return;
    current = wave;
    written = 0;
    stage = Stage::Feeding;
    feed();
}

// The device, set for the format and emptied, ready for a sound.
bool WavePlayer::SoundThread::prepareFor(const WaveFormat& format)
{
    if (pcm && pcmFormat == format) {
        if (snd_pcm_prepare(pcm) == 0)
            return true;
        closeDevice(); // lost since the last sound: the server stopped, a headset was unplugged
    }
    // Another format, or a device lost: the device is opened anew for this sound.
    if (pcmFormat)
        closeDevice();
    if (!pcm && !openDevice())
        return false;
    if (snd_pcm_set_params(pcm, alsaFormat(format), SND_PCM_ACCESS_RW_INTERLEAVED, unsigned(format.channels),
                           unsigned(format.rate), 1, deviceBufferUs) < 0 || snd_pcm_prepare(pcm) < 0) {
        closeDevice();
        return false;
    }
    pcmFormat = format;
    return true;
}

// Writes as much of the sound as the device has room for, without waiting for it.
void WavePlayer::SoundThread::feed()
{
    const WaveSound& sound = current->sound;
    const std::size_t frameBytes = std::size_t(sound.format.bytesPerFrame());
    const std::size_t left = (sound.frames.size() - written) / frameBytes;
    const auto write = [&] { return snd_pcm_writei(pcm, sound.frames.data() + written, snd_pcm_uframes_t(left)); };
    snd_pcm_sframes_t done = write();
    // Ran dry or woke from a suspend: the sound goes on from where it was.
    if (done < 0 && done != -EAGAIN && snd_pcm_recover(pcm, int(done), 1) == 0)
        done = write();
    if (done == -EAGAIN)
        done = 0;
    if (done < 0) {
        // The server went away or the device was unplugged: silence, and a fresh try next time.
        closeDevice();
        return;
    }
    written += std::size_t(done) * frameBytes;
    // A sound shorter than the device's buffer, or one recovered from running dry, has not started.
    if (snd_pcm_state(pcm) == SND_PCM_STATE_PREPARED)
        snd_pcm_start(pcm);
    if (written + frameBytes <= sound.frames.size()) {
        nextStep = Clock::now() + topUpEvery;
        return;
    }
    stage = Stage::Draining;
    queuedAtLastLook = std::numeric_limits<snd_pcm_sframes_t>::max();
    drain();
}

// Waits for the device to play what it holds, then stops it: a stopped stream costs the sound
// server nothing. A server that a busy machine holds back plays late: it is waited for as long as
// it plays on, so the end of a sound is never cut.
void WavePlayer::SoundThread::drain()
{
    snd_pcm_sframes_t queued = 0;
    if (snd_pcm_delay(pcm, &queued) < 0 || queued <= 0 || queued >= queuedAtLastLook) {
        stop();
        return;
    }
    queuedAtLastLook = queued;
    nextStep = Clock::now() + std::chrono::milliseconds(1000 * queued / current->sound.format.rate + 20);
}

void WavePlayer::SoundThread::stop()
{
    if (stage != Stage::Idle && pcm)
        snd_pcm_drop(pcm);
    stage = Stage::Idle;
    current.reset();
}

bool WavePlayer::SoundThread::openDevice()
{
    // Never blocking: a sound card another program holds would make a blocking open wait for it,
    // and a full device would hold the thread from a newer sound.
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) == 0)
        return true;
    pcm = nullptr;
    // ALSA reads its configuration once, and what "default" means in it depends on whether a sound
    // server was running then: the next try reads it afresh, to find a server started since.
    snd_config_update_free_global();
    return false;
}

void WavePlayer::SoundThread::closeDevice()
{
    if (pcm)
        snd_pcm_close(pcm);
    pcm = nullptr;
    pcmFormat.reset();
    stage = Stage::Idle;
    current.reset();
}

WavePlayer::WavePlayer() : m_thread(std::make_shared<SoundThread>())
{
    m_thread->thread = std::thread([sound = m_thread] { sound->run(); });
}

WavePlayer::~WavePlayer()
{
    std::unique_lock lock(m_thread->mutex);
    m_thread->leaving = true;
    m_thread->wake.notify_all();
    // Past the wait, the thread is left to the end of the process, with the state it still holds.
    if (m_thread->ended.wait_for(lock, longestGoodbye, [this] { return m_thread->finished; })) {
        lock.unlock();
        m_thread->thread.join();
    } else {
        m_thread->thread.detach();
    }
}

void WavePlayer::play(const std::string& path)
{
    std::lock_guard lock(m_thread->mutex);
    // A sound asked for and not yet started is cut by this one before it is heard.
    std::erase_if(m_thread->commands, [](const Command& command) { return command.kind == Command::Play; });
    m_thread->commands.push_back({Command::Play, path});
    m_thread->wake.notify_all();
}

void WavePlayer::preloadFolder(const std::string& folder)
{
    std::lock_guard lock(m_thread->mutex);
    m_thread->commands.push_back({Command::Preload, folder});
    m_thread->wake.notify_all();
}

} // namespace zanfiro
