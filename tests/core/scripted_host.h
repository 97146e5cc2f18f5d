// SPDX-License-Identifier: GPL-3.0-or-later
// A host for tests: answers boxes from a queue, logs every effect in order, keeps files in
// memory (so faults such as a full disk can be injected) and throws ProgramEnded where the
// real program would end.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/host.h"
#include "app/runtime_error.h"

namespace zanfiro::test {

struct ProgramEnded {
    int status;
};

class ScriptedHost : public Host {
public:
    std::vector<std::string> log;
    std::deque<int> answers;         // msgBox replies; when empty: OK, or No for a Yes/No box
    std::deque<std::string> names;   // inputBox replies; when empty: Cancel (empty text)
    // Runs while a box is open, with the box's prompt: nested timer ticks go here.
    std::function<void(const std::string&)> whileBoxOpen;
    std::string programFolder = "/prog";
    std::string recordFolder = "/home/pupil/.local/share/zanfiro/";
    std::optional<ErrorNumber> recordDirError;

    std::map<std::string, std::string> files;
    std::set<std::string> otherKinds; // directories, FIFOs, devices
    std::map<std::string, std::string> links; // symbolic links: path -> the path they lead to
    std::set<std::string> readOnly;           // record files that cannot be replaced
    // Fault injection: the operation ("kind", "list", "touch", "read", "stage", "create", "readown",
    // "replace" (by target), "remove", "append") on that path throws this error. An empty path
    // matches every path.
    std::map<std::pair<std::string, std::string>, ErrorNumber> faults;
    // The record lock: lockError makes it busy past the wait (or failing) and the step never runs;
    // staleLock has it find a dead copy's lock and clear it first.
    std::optional<ErrorNumber> lockError;
    bool staleLock = false;
    bool lastLockReadOnly = false;
    bool locked = false;
    int boxesWhileLocked = 0;
    bool logOn = false; // the teacher's log; off unless a test is about it
    double timerSeconds = 30000.0;
    int boxDepth = 0;
    int maxBoxDepth = 0;

    int msgBox(const std::string& prompt, int buttons, const std::string& title) override
    {
        log.push_back("box|" + prompt + "|" + std::to_string(buttons) + "|" + title);
        boxesWhileLocked += locked ? 1 : 0;
        ++boxDepth;
        maxBoxDepth = std::max(maxBoxDepth, boxDepth);
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{boxDepth};
        if (whileBoxOpen)
            whileBoxOpen(prompt);
        if (!answers.empty()) {
            const int reply = answers.front();
            answers.pop_front();
            return reply;
        }
        return (buttons & 7) == box::yesNo ? answer::no : answer::ok;
    }

    std::string inputBox(const std::string& prompt, const std::string& title) override
    {
        log.push_back("input|" + prompt + "|" + title);
        if (names.empty())
            return {};
        std::string name = names.front();
        names.pop_front();
        return name;
    }

    void playWave(const std::string& path) override { log.push_back("wave|" + path); }
    std::string programDir() override { return programFolder; }

    std::string recordDir() override
    {
        if (recordDirError)
            throw RuntimeError(*recordDirError, "record folder");
        return recordFolder;
    }

    FileKind fileKind(const std::string& path) override
    {
        fault("kind", path);
        const auto link = links.find(path);
        const std::string& real = link == links.end() ? path : link->second;
        if (otherKinds.count(real))
            return FileKind::Other;
        return files.count(real) ? FileKind::Regular : FileKind::Missing;
    }

    FileKind entryKind(const std::string& path) override
    {
        fault("kind", path);
        if (otherKinds.count(path) || links.count(path))
            return FileKind::Other;
        return files.count(path) ? FileKind::Regular : FileKind::Missing;
    }

    std::vector<std::string> folderEntries(const std::string& folder) override
    {
        fault("list", folder);
        std::set<std::string> names;
        const std::string prefix = folder + "/";
        const auto add = [&](const std::string& path) {
            if (path.rfind(prefix, 0) == 0)
                names.insert(path.substr(prefix.size()));
        };
        for (const auto& [path, bytes] : files)
            add(path);
        for (const auto& [path, target] : links)
            add(path);
        for (const std::string& path : otherKinds)
            add(path);
        return {names.begin(), names.end()};
    }

    void touchAppend(const std::string& path) override
    {
        refuseIfNotAFile(path); // before any open, as the real host checks
        log.push_back("touch|" + path);
        fault("touch", path);
        files.try_emplace(path);
    }

    std::string readBytes(const std::string& path, std::size_t maxBytes, std::uint64_t* fileSize) override
    {
        refuseIfNotAFile(path);
        log.push_back("read|" + path);
        fault("read", path);
        const auto found = files.find(path);
        if (found == files.end())
            throw RuntimeError(ErrorNumber::FileNotFound, path);
        if (fileSize)
            *fileSize = found->second.size();
        return found->second.substr(0, maxBytes);
    }

    std::string stageFile(const std::string& target, const std::string& bytes) override
    {
        log.push_back("stage|" + target);
        fault("stage", target);
        if (fileKind(target) == FileKind::Other)
            throw RuntimeError(ErrorNumber::PathFileAccessError, target);
        if (readOnly.count(target))
            throw RuntimeError(ErrorNumber::PermissionDenied, target);
        std::string staged;
        do
            staged = target + stagedInfix + "." + std::to_string(++m_staged);
        while (exists(staged));
        files[staged] = bytes;
        return staged;
    }

    void createFile(const std::string& path, const std::string& bytes) override
    {
        log.push_back("create|" + path);
        fault("create", path);
        if (exists(path))
            throw RuntimeError(ErrorNumber::PathFileAccessError, path);
        files[path] = bytes;
    }

    std::string readOwnFile(const std::string& path) override
    {
        log.push_back("readown|" + path);
        fault("readown", path);
        if (links.count(path) || otherKinds.count(path))
            throw RuntimeError(ErrorNumber::PathFileAccessError, path);
        const auto found = files.find(path);
        if (found == files.end())
            throw RuntimeError(ErrorNumber::FileNotFound, path);
        return found->second.substr(0, 4096);
    }

    void replaceFile(const std::string& from, const std::string& to) override
    {
        log.push_back("replace|" + from + "|" + to);
        fault("replace", to);
        if (readOnly.count(to))
            throw RuntimeError(ErrorNumber::PermissionDenied, to);
        const auto found = files.find(from);
        if (found == files.end())
            throw RuntimeError(ErrorNumber::FileNotFound, from);
        links.erase(to);
        files[to] = found->second;
        files.erase(from);
    }

    void removeFile(const std::string& path) override
    {
        log.push_back("remove|" + path);
        fault("remove", path);
        if (otherKinds.count(path))
            throw RuntimeError(ErrorNumber::PathFileAccessError, path);
        files.erase(path);
        links.erase(path);
    }

    void appendLine(const std::string& path, const std::string& line, const std::string& headerIfEmpty) override
    {
        log.push_back("append|" + path);
        fault("append", path);
        std::string& bytes = files[path];
        bytes += (bytes.empty() ? headerIfEmpty : std::string()) + line;
    }

    void underRecordLock(const std::string& folder, const std::function<void()>& step, bool readOnly) override
    {
        log.push_back("lock|" + folder);
        lastLockReadOnly = readOnly;
        if (lockError)
            throw RuntimeError(*lockError, folder + "/zanfiro.lock");
        if (staleLock)
            log.push_back("lock|stale cleared");
        locked = true;
        struct Release {
            ScriptedHost& host;
            ~Release()
            {
                host.locked = false;
                host.log.push_back("unlock");
            }
        } release{*this};
        step();
    }

    bool gameLogOn() override { return logOn; }

    double systemTimer() override
    {
        ++timerReads;
        timerSeconds += 0.0137;
        return timerSeconds;
    }

    void holdFrame(int ms) override { heldMs += ms; }
    void windowUnloaded() override { log.push_back("unloaded"); }
    void windowShown() override { log.push_back("shown"); }

    [[noreturn]] void endProgram(int status) override
    {
        log.push_back("end|" + std::to_string(status));
        throw ProgramEnded{status};
    }

    int heldMs = 0;
    int timerReads = 0; // each turn refresh reads the system timer once to reseed

    // Every file held but the ones named.
    std::vector<std::string> filesOtherThan(std::initializer_list<std::string> kept) const
    {
        std::vector<std::string> out;
        for (const auto& [path, bytes] : files)
            if (std::find(kept.begin(), kept.end(), path) == kept.end())
                out.push_back(path);
        return out;
    }

    // The log entries that start with the prefix, in order.
    std::vector<std::string> entries(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const std::string& entry : log)
            if (entry.rfind(prefix, 0) == 0)
                out.push_back(entry);
        return out;
    }

private:
    // As the real host does: a FIFO, a folder or a link in a record's place is refused up front.
    void refuseIfNotAFile(const std::string& path)
    {
        if (otherKinds.count(path) || links.count(path))
            throw RuntimeError(ErrorNumber::PathFileAccessError, path);
    }

    bool exists(const std::string& path) const
    {
        return files.count(path) || links.count(path) || otherKinds.count(path);
    }

    int m_staged = 0;

    void fault(const std::string& op, const std::string& path)
    {
        for (const auto& [key, number] : faults)
            if (key.first == op && (key.second.empty() || key.second == path))
                throw RuntimeError(number, path);
    }
};

} // namespace zanfiro::test
