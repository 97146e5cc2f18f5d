// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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

// A file staged to replace a record file is named after it: the record file's name, this, and a
// part no other file in the folder has.
inline constexpr const char* stagedInfix = ".new";

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
    // Folder of the record files: the one set for the machine or the launch, or the per-user one,
    // created when missing; RuntimeError when it cannot be reached.
    virtual std::string recordDir() = 0;

    // Sequential files, by path. "Missing" means the system said so; a check that fails for any
    // other reason (an I/O error, a forbidden folder) throws instead.
    // The kind of what the path leads to, through links.
    virtual FileKind fileKind(const std::string& path) = 0;
    // The kind of the entry itself: a link, even one to a regular file, is Other.
    virtual FileKind entryKind(const std::string& path) = 0;
    // The names of the entries in a folder.
    virtual std::vector<std::string> folderEntries(const std::string& folder) = 0;
    // Opens for appending and closes at once, as far as anyone can tell: creates a missing file,
    // and leaves an existing one unopened, so a file that another account made is no obstacle.
    virtual void touchAppend(const std::string& path) = 0;
    // Up to maxBytes from the start of a regular file, never through a link; *fileSize receives
    // its whole length.
    virtual std::string readBytes(const std::string& path, std::size_t maxBytes, std::uint64_t* fileSize) = 0;

    // The game's own files (staged records, the commit marker) are made new, exclusively, and
    // never reached through a link, whatever else sits in the folder.
    // Writes the bytes, flushed to the disk, to a new file beside `target` named
    // target + stagedInfix + "." + a unique part, which takes target's permissions; refuses when
    // `target` could not be replaced. Returns the new file's path.
    virtual std::string stageFile(const std::string& target, const std::string& bytes) = 0;
    // Makes a new file at exactly this path, with the bytes and the folder flushed to the disk (the
    // entries of files staged before it with them); anything already there, a link included, is
    // an error.
    virtual void createFile(const std::string& path, const std::string& bytes) = 0;
    // Up to 4096 bytes of a regular file that is not a link.
    virtual std::string readOwnFile(const std::string& path) = 0;
    // Atomically puts `from` (a file of ours) in the place of `to` and flushes the directory.
    virtual void replaceFile(const std::string& from, const std::string& to) = 0;
    // Removes the entry itself: a link goes, what it leads to stays.
    virtual void removeFile(const std::string& path) = 0;
    // Adds one whole line at the end of the file in one write, creating it when missing and
    // beginning it with the header whenever it is empty. A line goes in whole or not at all.
    virtual void appendLine(const std::string& path, const std::string& line, const std::string& headerIfEmpty) = 0;

    // Runs the step holding the record folder's lock, which every copy of the game on any machine
    // respects; waits while its holder is at work, within a bound, then throws RuntimeError naming
    // the lock without running the step. The lock goes when the step ends, whether it returns or
    // throws. A step never opens a box. A step that only reads may run without the lock where
    // nobody can write (a full disk, a folder this account may only read).
    virtual void underRecordLock(const std::string& folder, const std::function<void()>& step, bool readOnly) = 0;
    // Whether finished games go to the teacher's log; the machine's settings can turn it off.
    virtual bool gameLogOn() = 0;

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
