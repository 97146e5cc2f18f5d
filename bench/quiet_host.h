// SPDX-License-Identifier: GPL-3.0-or-later
// A host that answers every box at once, keeps no file, plays nothing and holds no frame, so a
// benchmark measures the window's own work.
#pragma once

#include <cstdlib>
#include <functional>
#include <string>

#include "app/host.h"

namespace zanfiro::bench {

class QuietHost : public Host {
public:
    std::string name;                // what the name prompt answers
    std::function<void()> onFrame;   // what a held frame does instead of holding

    int msgBox(const std::string&, int, const std::string&) override { return answer::ok; }
    std::string inputBox(const std::string&, const std::string&) override { return name; }
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
    FileKind entryKind(const std::string&) override { return FileKind::Missing; }
    std::vector<std::string> folderEntries(const std::string&) override { return {}; }
    std::string stageFile(const std::string& target, const std::string&) override { return target + ".new.1"; }
    void createFile(const std::string&, const std::string&) override { }
    std::string readOwnFile(const std::string&) override { return {}; }
    void appendLine(const std::string&, const std::string&, const std::string&) override { }
    void underRecordLock(const std::string&, const std::function<void()>& step, bool) override { step(); }
    bool gameLogOn() override { return false; }
    void replaceFile(const std::string&, const std::string&) override { }
    void removeFile(const std::string&) override { }
    double systemTimer() override { return m_seconds += 0.0137; }
    void holdFrame(int) override
    {
        if (onFrame)
            onFrame();
    }
    void windowUnloaded() override { }
    void windowShown() override { }
    [[noreturn]] void endProgram(int) override { std::abort(); }

private:
    double m_seconds = 30000;
};

} // namespace zanfiro::bench
