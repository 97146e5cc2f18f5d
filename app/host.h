// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace zanfiro {

// Buttons and icon of a message box, as one number (the classic MsgBox encoding).
namespace box {
inline constexpr int okOnly = 0;
inline constexpr int yesNo = 4;
inline constexpr int critical = 16;
inline constexpr int question = 32;
inline constexpr int defaultButton2 = 256;
inline constexpr int yesNoQuestionDefaultNo = yesNo + question + defaultButton2; // 292
} // namespace box

// What a box answers.
namespace answer {
inline constexpr int ok = 1;
inline constexpr int yes = 6;
inline constexpr int no = 7;
} // namespace answer

enum class FileKind { Missing, Regular, Other };

// Everything the window asks of the world. No Qt type crosses this line, so the whole game
// runs in tests against a scripted host. Texts are UTF-8; file contents are raw bytes.
// Any method that touches a file throws RuntimeError when the platform refuses.
class Host {
public:
    virtual ~Host() = default;

    // Modal message box; timers keep ticking while it is open. Returns answer::ok/yes/no.
    virtual int msgBox(const std::string& prompt, int buttons, const std::string& title) = 0;
    // Modal one-line input box; empty text on Cancel.
    virtual std::string inputBox(const std::string& prompt, const std::string& title) = 0;

    // Starts a wave file and returns at once; the newest sound cuts the one playing;
    // silence on any failure.
    virtual void playWave(const std::string& path) = 0;
    // Folder of the program's executable, without a trailing separator (except a root).
    virtual std::string programDir() = 0;
    // Per-user folder of the record files, created when missing; RuntimeError when impossible.
    virtual std::string recordDir() = 0;

    // Sequential files, by path.
    virtual FileKind fileKind(const std::string& path) = 0;
    // Opens for appending and closes at once: creates a missing file, changes no byte.
    virtual void touchAppend(const std::string& path) = 0;
    // Up to maxBytes from the start of the file; *fileSize receives its whole length.
    virtual std::string readBytes(const std::string& path, std::size_t maxBytes, std::uint64_t* fileSize) = 0;
    // Creates or empties the file, writes the bytes and flushes them to the disk.
    virtual void writeDurable(const std::string& path, const std::string& bytes) = 0;
    // Atomically puts `from` in the place of `to` and flushes the directory.
    virtual void replaceFile(const std::string& from, const std::string& to) = 0;
    virtual void removeFile(const std::string& path) = 0;

    // Seconds since midnight with sub-millisecond resolution, to reseed the generator.
    virtual double systemTimer() = 0;
    // Shows the window as the model has it now and holds it for ms milliseconds
    // without handling any event (the flash loops).
    virtual void holdFrame(int ms) = 0;

    // The window was unloaded (all controls destroyed) / shown after a load.
    virtual void windowUnloaded() = 0;
    virtual void windowShown() = 0;

    // Ends the program at once, from any depth of nesting; no interrupted handler resumes.
    [[noreturn]] virtual void endProgram(int status) = 0;
};

} // namespace zanfiro
