// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux player: ALSA's default device (the desktop's sound server, through ALSA's plugin for
// it, or the sound card itself), fed a few milliseconds at a time from a thread of its own.
#include "sound/wave_player.h"
#include "sound/wave_file.h"

#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

namespace zanfiro {
namespace {

using Clock = std::chrono::steady_clock;

// Far more than any sound effect, far less than a classroom PC's memory.
constexpr off_t largestWaveBytes = 64 << 20;
// How much sound the device holds ahead: what a newer sound waits for at most is a tenth of it.
constexpr unsigned deviceLatencyUs = 40'000;
// A sound server that stopped answering must not keep the program from ending.
constexpr auto longestGoodbye = std::chrono::seconds(3);

// A regular file's bytes, up to the bound. O_NONBLOCK: a FIFO named like a sound must not hold
// the thread forever.
std::optional<std::string> readSoundFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> bytes;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= largestWaveBytes) {
        std::string read(std::size_t(status.st_size), '\0');
        std::size_t got = 0;
        for (ssize_t n; got < read.size() && (n = ::read(fd, read.data() + got, read.size() - got)) > 0;)
            got += std::size_t(n);
        read.resize(got);
        bytes = std::move(read);
    }
    ::close(fd);
    return bytes;
}

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

// A sound read once, kept whole with the samples that point into it.
struct LoadedWave {
    std::string bytes;
    WaveSound sound;
};

struct Command {
    enum Kind { Play, Preload } kind;
    std::string path;
};

} // namespace

struct WavePlayer::Desk {
    // Shared with the window's thread.
    std::mutex mutex;
    std::condition_variable wake, ended;
    std::deque<Command> commands;
    bool leaving = false;
    bool finished = false;
    bool deviceMissing = false;
    std::thread thread;

    // The sound thread's own.
    enum class Stage { Idle, Feeding, Draining };
    snd_pcm_t* pcm = nullptr;
    std::optional<WaveFormat> pcmFormat;
    std::map<std::string, std::shared_ptr<const LoadedWave>> loaded;
    std::shared_ptr<const LoadedWave> current;
    std::size_t written = 0; // bytes of current
    Stage stage = Stage::Idle;
    Clock::time_point heardOut;

    void run();
    void carryOut(const Command& command);
    std::shared_ptr<const LoadedWave> load(const std::string& path);
    bool deviceFor(const WaveFormat& format);
    void feed();
    void stop();
    bool openDevice();
    void closeDevice();
};

void WavePlayer::Desk::run()
{
    pthread_setname_np(pthread_self(), "zanfiro sound");
    snd_lib_error_set_handler(sayNothing);
    // Without a device every sound would be silence: the thread ends, and nothing more is sent.
    if (!openDevice()) {
        std::lock_guard lock(mutex);
        deviceMissing = finished = true;
        ended.notify_all();
        return;
    }
    for (;;) {
        std::optional<Command> command;
        {
            std::unique_lock lock(mutex);
            const auto called = [this] { return leaving || !commands.empty(); };
            if (stage == Stage::Idle)
                wake.wait(lock, called);
            else if (stage == Stage::Draining)
                wake.wait_until(lock, heardOut, called);
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
        else if (stage == Stage::Feeding)
            feed();
        else if (stage == Stage::Draining && Clock::now() >= heardOut)
            stop();
    }
    closeDevice();
    std::lock_guard lock(mutex);
    finished = true;
    ended.notify_all();
}

void WavePlayer::Desk::carryOut(const Command& command)
{
    if (command.kind == Command::Preload) {
        std::error_code error;
        for (std::filesystem::directory_iterator entry(command.path, error), end; !error && entry != end;
             entry.increment(error)) {
            std::string extension = entry->path().extension().string();
            for (char& c : extension)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            if (extension == ".wav")
                load(entry->path().string());
        }
        return;
    }
    // The sound still playing stops first, even if the new one can't play.
    stop();
    const auto wave = load(command.path);
    if (!wave || !deviceFor(wave->sound.format) || snd_pcm_prepare(pcm) < 0)
        return;
    current = wave;
    written = 0;
    stage = Stage::Feeding;
}

std::shared_ptr<const LoadedWave> WavePlayer::Desk::load(const std::string& path)
{
    // A program at a drive's root builds its paths with a doubled separator.
    const std::string key = std::filesystem::path(path).lexically_normal().string();
    if (const auto known = loaded.find(key); known != loaded.end())
        return known->second;
    auto wave = std::make_shared<LoadedWave>();
    auto bytes = readSoundFile(key);
    if (!bytes)
        return nullptr;
    wave->bytes = std::move(*bytes);
    const auto sound = readWave(wave->bytes);
    // Nothing is kept for a missing or unplayable file: put right later, it plays.
    if (!sound)
        return nullptr;
    wave->sound = *sound;
    return loaded[key] = wave;
}

bool WavePlayer::Desk::deviceFor(const WaveFormat& format)
{
    if (pcm && pcmFormat == format)
        return true;
    // Another format, or a device lost to an error: the device is opened anew for this sound.
    if (pcmFormat)
        closeDevice();
    if (!pcm && !openDevice())
        return false;
    if (snd_pcm_set_params(pcm, alsaFormat(format), SND_PCM_ACCESS_RW_INTERLEAVED, unsigned(format.channels),
                           unsigned(format.rate), 1, deviceLatencyUs) < 0) {
        closeDevice();
        return false;
    }
    pcmFormat = format;
    return true;
}

void WavePlayer::Desk::feed()
{
    const WaveSound& sound = current->sound;
    const std::size_t frameBytes = std::size_t(sound.format.bytesPerFrame());
    const std::size_t frames = std::min((sound.frames.size() - written) / frameBytes, std::size_t(sound.format.rate / 100));
    // Blocks until the device has room: about one hundredth of a second once its buffer is full.
    snd_pcm_sframes_t done = snd_pcm_writei(pcm, sound.frames.data() + written, snd_pcm_uframes_t(frames));
    if (done < 0)
        done = snd_pcm_recover(pcm, int(done), 1);
    if (done < 0) {
        // The server went away or the device was unplugged: silence, and a fresh try next time.
        closeDevice();
        return;
    }
    written += std::size_t(done) * frameBytes;
    if (written < sound.frames.size())
        return;
    // A sound shorter than the device's buffer has not started yet.
    if (snd_pcm_state(pcm) == SND_PCM_STATE_PREPARED)
        snd_pcm_start(pcm);
    snd_pcm_sframes_t queued = 0;
    if (snd_pcm_delay(pcm, &queued) < 0)
        queued = 0;
    heardOut = Clock::now() + std::chrono::milliseconds(1000 * std::max<snd_pcm_sframes_t>(queued, 0) / sound.format.rate + 20);
    stage = Stage::Draining;
}

void WavePlayer::Desk::stop()
{
    if (stage != Stage::Idle && pcm)
        snd_pcm_drop(pcm);
    stage = Stage::Idle;
    current.reset();
}

bool WavePlayer::Desk::openDevice()
{
    // A sound card another program holds would make a blocking open wait for it.
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
        pcm = nullptr;
        return false;
    }
    snd_pcm_nonblock(pcm, 0);
    return true;
}

void WavePlayer::Desk::closeDevice()
{
    if (pcm)
        snd_pcm_close(pcm);
    pcm = nullptr;
    pcmFormat.reset();
    stage = Stage::Idle;
    current.reset();
}

WavePlayer::WavePlayer() : m_desk(std::make_shared<Desk>())
{
    m_desk->thread = std::thread([desk = m_desk] { desk->run(); });
}

WavePlayer::~WavePlayer()
{
    std::unique_lock lock(m_desk->mutex);
    m_desk->leaving = true;
    m_desk->wake.notify_all();
    // Past the wait, the thread is left to the end of the process, with the desk it still holds.
    if (m_desk->ended.wait_for(lock, longestGoodbye, [this] { return m_desk->finished; })) {
        lock.unlock();
        m_desk->thread.join();
    } else {
        m_desk->thread.detach();
    }
}

void WavePlayer::play(const std::string& path)
{
    std::lock_guard lock(m_desk->mutex);
    if (m_desk->deviceMissing)
        return;
    // A sound asked for and not yet started is cut by this one before it is heard.
    std::erase_if(m_desk->commands, [](const Command& command) { return command.kind == Command::Play; });
    m_desk->commands.push_back({Command::Play, path});
    m_desk->wake.notify_all();
}

void WavePlayer::preloadFolder(const std::string& folder)
{
    std::lock_guard lock(m_desk->mutex);
    if (m_desk->deviceMissing)
        return;
    m_desk->commands.push_back({Command::Preload, folder});
    m_desk->wake.notify_all();
}

} // namespace zanfiro
