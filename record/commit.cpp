// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/commit.h"

#include "app/runtime_error.h"

namespace zanfiro {

namespace {

constexpr const char* markerText = "azanfiro.txt zanfiro.txt\r\n";

bool present(Host& host, const std::string& path) { return host.fileKind(path) != FileKind::Missing; }

// Clearing up after a failure must not hide the failure itself.
void removeQuietly(Host& host, const std::string& path)
{
    try {
        if (present(host, path))
            host.removeFile(path);
    } catch (const RuntimeError&) {
    }
}

void dropStaged(Host& host, const RecordPaths& paths)
{
    removeQuietly(host, paths.stagedScore);
    removeQuietly(host, paths.stagedName);
}

// The marker goes first: while it stays, the staged files must stay with it.
void rollBack(Host& host, const RecordPaths& paths)
{
    try {
        if (present(host, paths.marker))
            host.removeFile(paths.marker);
    } catch (const RuntimeError&) {
        return;
    }
    dropStaged(host, paths);
}

} // namespace

RecordPaths recordPaths(const std::string& windowsDir)
{
    const std::string score = windowsDir + "/azanfiro.txt";
    const std::string name = windowsDir + "/zanfiro.txt";
    return {score, name, score + ".new", name + ".new", windowsDir + "/zanfiro.commit"};
}

void recoverRecordCommit(Host& host, const RecordPaths& paths)
{
    if (!present(host, paths.marker)) {
        for (const std::string* staged : {&paths.stagedScore, &paths.stagedName})
            if (present(host, *staged))
                host.removeFile(*staged);
        return;
    }
    // A staged file that is gone has already taken its place.
    if (present(host, paths.stagedScore))
        host.replaceFile(paths.stagedScore, paths.score);
    if (present(host, paths.stagedName))
        host.replaceFile(paths.stagedName, paths.name);
    host.removeFile(paths.marker);
}

void commitRecord(Host& host, const RecordPaths& paths, const std::string& scoreBytes,
                  const std::string& nameBytes)
{
    try {
        host.writeDurable(paths.stagedScore, scoreBytes);
        host.writeDurable(paths.stagedName, nameBytes);
        host.writeDurable(paths.marker, markerText);
    } catch (const RuntimeError&) {
        rollBack(host, paths);
        throw;
    }
    try {
        host.replaceFile(paths.stagedScore, paths.score);
    } catch (const RuntimeError&) {
        // Still staged means the old score is still in place: the old pair can be kept.
        if (present(host, paths.stagedScore))
            rollBack(host, paths);
        throw;
    }
    // From here the new pair is the record; if the name cannot go in now, the marker makes the
    // next load put it in.
    host.replaceFile(paths.stagedName, paths.name);
    // Both files are in place. A marker left behind is harmless: the next load finds nothing
    // staged and removes it.
    removeQuietly(host, paths.marker);
}

} // namespace zanfiro
