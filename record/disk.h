// SPDX-License-Identifier: GPL-3.0-or-later
// The record folder on a real disk: every system call the record files, the staging, the commit,
// the teacher's log and the folder's lock make, in one file per system (disk_posix.cpp,
// disk_windows.cpp). Paths are UTF-8. Every refusal is a RuntimeError numbered after what the
// system said, naming the file at fault.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/host.h"

namespace zanfiro::disk {

// Who uses the files the game makes in a folder. A pupil's own folder keeps the system's defaults;
// in a class folder every account of the class reads, replaces and appends to them, so a new file
// takes the folder's group and the folder's own read and write rights, whatever the umask.
enum class Sharing { Private, Class };

FileKind fileKind(const std::string& path);  // through links
FileKind entryKind(const std::string& path); // the entry itself: a link is Other
std::vector<std::string> folderEntries(const std::string& folder);

// Creates a missing file, empty; an existing one is left as it is, unopened, so a file another
// account made is no obstacle. A link, a FIFO or a folder in its place is refused.
void createIfMissing(const std::string& path, Sharing sharing);
// Up to maxBytes from the start of a regular file, never through a link and never waiting on a
// FIFO; *fileSize receives its whole length.
std::string readFile(const std::string& path, std::size_t maxBytes, std::uint64_t* fileSize);
// Up to 4096 bytes of a regular file that is not a link.
std::string readOwnFile(const std::string& path);

// A part of a file's name that no other copy of the game, on any machine, makes at the same time.
std::string uniqueNamePart();

// The game's own new files: made exclusively (nothing already there, a link included, is ever
// opened), every byte accounted for and flushed.
std::string stageFile(const std::string& target, const std::string& bytes, Sharing sharing);
void createFile(const std::string& path, const std::string& bytes, Sharing sharing);
// Atomically puts `from` in the place of `to` and flushes the folder. Refused, before anything
// moves, when `to` is a record nobody may write, or one this account may not replace.
void replaceFile(const std::string& from, const std::string& to, Sharing sharing);
void removeFile(const std::string& path);
// Adds one line at the end of a log in one write, and the header first when the file is empty.
// The line goes in whole or not at all: a write cut short is taken back, and a line left torn by
// a copy that died is closed before the next one.
void appendLine(const std::string& path, const std::string& line, const std::string& headerIfEmpty,
                Sharing sharing);

// The folder's lock file, held open while the lock is ours.
struct LockHandle {
    std::intptr_t native = -1;
    std::string path;
};

// What a lock file says of its holder, and whether its bytes have changed since last looked at.
struct LockFileState {
    FileKind kind = FileKind::Missing;
    std::string content;
    std::string identity; // changes whenever the holder touches or replaces it
    long long ageMs = 0;  // since it was last touched, by this machine's clock
};

// This process, as its lock file names it: machine, process number and when the process began.
std::string lockOwnerLine();
// Makes the lock file exclusively with the owner line in it; false when something is there already.
// A disk too full for the line still gives the lock, empty: it is kept alive by touches.
bool tryCreateLock(const std::string& path, const std::string& content, Sharing sharing, LockHandle* handle);
LockFileState readLock(const std::string& path);
// Tells the copies waiting that the holder is still at work.
void touchLock(const LockHandle& handle);
void releaseLock(LockHandle& handle);
// Whether the process an owner line names still runs: true when it does or cannot be told.
bool ownerAlive(const std::string& ownerLine, bool* sameMachine);

// The per-user base folder the toolkit found, checked: never the file system's root, never a home
// that is not there. Returns the folder for the record, made when missing.
std::string makeUserFolder(const std::string& base);
// A set folder, which must already be a folder.
void checkSetFolder(const std::string& folder);
// Whether a folder written in a settings file names one place on its own (no relative path, no ~).
bool isAbsoluteFolder(const std::string& folder);

} // namespace zanfiro::disk
