// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux player's sounds, each read once, on the sound thread, and kept for the session.
#pragma once

#include "sound/wave_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace zanfiro {

// A sound read once, kept whole with the samples that point into it.
struct LoadedWave {
    std::string bytes;
    WaveSound sound;
};

class WaveCache {
public:
    // The sound in a file, read at its first use; null for a missing or unplayable file, which is
    // not remembered: put right later, it plays.
    std::shared_ptr<const LoadedWave> load(const std::string& path)
    {
        // A program at a drive's root builds its paths with a doubled separator.
        const std::string key = std::filesystem::path(path).lexically_normal().string();
        if (const auto known = m_loaded.find(key); known != m_loaded.end())
            return known->second;
        auto bytes = readFile(key);
        if (!bytes)
            return nullptr;
        auto wave = std::make_shared<LoadedWave>();
        wave->bytes = std::move(*bytes);
        const auto sound = readWave(wave->bytes);
        if (!sound)
            return nullptr;
        wave->sound = *sound;
        return m_loaded[key] = wave;
    }

    // Every wave file of the folder; a missing folder loads nothing.
    void loadFolder(const std::string& folder)
    {
        std::error_code error;
        for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
             entry.increment(error)) {
            std::string extension = entry->path().extension().string();
            for (char& c : extension)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            if (extension == ".wav")
                load(entry->path().string());
        }
    }

private:
    // Far more than any sound effect, far less than a classroom PC's memory.
    static constexpr off_t largestWaveBytes = 64 << 20;

    // A regular file's bytes, up to the bound. O_NONBLOCK: a FIFO named like a sound must not hold
    // the thread forever.
    static std::optional<std::string> readFile(const std::string& path)
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

    std::map<std::string, std::shared_ptr<const LoadedWave>> m_loaded;
};

} // namespace zanfiro
