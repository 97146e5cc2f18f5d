// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/commit.h"

#include <array>
#include <optional>
#include <vector>

namespace zanfiro {

namespace {

constexpr const char* scoreStem = "azanfiro";
constexpr const char* nameStem = "zanfiro";
constexpr const char* recordExtension = ".txt";
constexpr const char* markerExtension = ".commit";
constexpr const char* lineEnd = "\r\n";
// What a marker said before staged names were unique.
constexpr const char* fixedNamesMarker = "azanfiro.txt zanfiro.txt\r\n";

using StagedNames = std::array<std::string, 2>; // score, name

std::string stagedPrefix(const std::string& file) { return file + stagedInfix; }

std::string baseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Every game has a pair and a marker of its own, so its staged names begin with its own file
// names: "azanfiro.txt.new" is no prefix of "azanfiro-div3-2min.txt.new", and recovery for one
// game never drops or reads another's commit.
std::string scoreFileOf(const RecordPaths& paths) { return baseName(paths.score); }
std::string nameFileOf(const RecordPaths& paths) { return baseName(paths.name); }

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

bool isStagedName(const std::string& name, const std::string& file)
{
    return startsWith(name, stagedPrefix(file)) && name.find_first_of("/\\") == std::string::npos
        && name.find("..") == std::string::npos;
}

// The staged files a marker names; nothing when it is not a whole marker of ours, which means the
// copy that wrote it stopped before any file was replaced.
std::optional<StagedNames> stagedNamesIn(const std::string& marker, const RecordPaths& paths)
{
    const std::string scoreFile = scoreFileOf(paths);
    const std::string nameFile = nameFileOf(paths);
    if (marker == fixedNamesMarker && scoreFile + " " + nameFile + lineEnd == marker)
        return StagedNames{stagedPrefix(scoreFile), stagedPrefix(nameFile)};
    const std::size_t first = marker.find(lineEnd);
    if (first == std::string::npos)
        return std::nullopt;
    const std::size_t second = marker.find(lineEnd, first + 2);
    if (second == std::string::npos || second + 2 != marker.size())
        return std::nullopt;
    StagedNames names{marker.substr(0, first), marker.substr(first + 2, second - first - 2)};
    if (!isStagedName(names[0], scoreFile) || !isStagedName(names[1], nameFile))
        return std::nullopt;
    return names;
}

// Clearing up must not hide the failure that made it necessary, nor stop a game over a file that
// plays no part any more.
void removeQuietly(Host& host, const std::string& path)
{
    try {
        host.removeFile(path);
    } catch (const RuntimeError&) {
    }
}

// Leftovers play no part in any record (their names are unique), so a clean-up that cannot run
// is no error.
void dropLeftovers(Host& host, const RecordPaths& paths)
{
    std::vector<std::string> entries;
    try {
        entries = host.folderEntries(paths.folder);
    } catch (const RuntimeError&) {
        return;
    }
    for (const std::string& entry : entries)
        if (isStagedName(entry, scoreFileOf(paths)) || isStagedName(entry, nameFileOf(paths)))
            removeQuietly(host, paths.folder + "/" + entry);
}

void finishCommit(Host& host, const RecordPaths& paths, const StagedNames& staged)
{
    const std::array<const std::string*, 2> targets = {&paths.score, &paths.name};
    for (std::size_t i = 0; i < staged.size(); ++i) {
        const std::string from = paths.folder + "/" + staged[i];
        switch (host.entryKind(from)) {
        case FileKind::Missing: break; // it has already taken its place
        case FileKind::Regular: host.replaceFile(from, *targets[i]); break;
        case FileKind::Other: throw RuntimeError(ErrorNumber::PathFileAccessError, *targets[i]);
        }
    }
}

// After a failed first replacement: a score still staged means the old score is still in place,
// so the old pair can be kept. The marker goes first: while it stays, the staged files must stay
// with it.
void abandonIfStillStaged(Host& host, const RecordPaths& paths, const std::string& stagedScore,
                          const std::string& stagedName)
{
    try {
        if (host.entryKind(stagedScore) != FileKind::Regular)
            return;
        host.removeFile(paths.marker);
    } catch (const RuntimeError&) {
        return;
    }
    removeQuietly(host, stagedScore);
    removeQuietly(host, stagedName);
}

} // namespace

RecordPaths recordPaths(const std::string& windowsDir, const GameRules& rules)
{
    const std::string suffix = recordFileSuffix(rules);
    return {windowsDir, windowsDir + "/" + scoreStem + suffix + recordExtension,
        windowsDir + "/" + nameStem + suffix + recordExtension, windowsDir + "/" + nameStem + suffix + markerExtension};
}

void recoverRecordCommit(Host& host, const RecordPaths& paths)
{
    switch (host.entryKind(paths.marker)) {
    case FileKind::Missing: break;
    case FileKind::Other: host.removeFile(paths.marker); break; // a link or a folder is none of ours
    case FileKind::Regular:
        if (const std::optional<StagedNames> staged = stagedNamesIn(host.readOwnFile(paths.marker), paths))
            finishCommit(host, paths, *staged);
        host.removeFile(paths.marker);
        break;
    }
    dropLeftovers(host, paths);
}

void commitRecord(Host& host, const RecordPaths& paths, const std::string& scoreBytes,
                  const std::string& nameBytes)
{
    std::string stagedScore;
    std::string stagedName;
    try {
        stagedScore = host.stageFile(paths.score, scoreBytes);
        stagedName = host.stageFile(paths.name, nameBytes);
        host.createFile(paths.marker, baseName(stagedScore) + lineEnd + baseName(stagedName) + lineEnd);
    } catch (const RuntimeError&) {
        for (const std::string* staged : {&stagedScore, &stagedName})
            if (!staged->empty())
                removeQuietly(host, *staged);
        throw;
    }
    try {
        host.replaceFile(stagedScore, paths.score);
    } catch (const RuntimeError&) {
        abandonIfStillStaged(host, paths, stagedScore, stagedName);
        throw;
    }
    // From here the new pair is the record; if the name cannot go in now, the marker makes the
    // next load put it in.
    host.replaceFile(stagedName, paths.name);
    // Both files are in place. A marker left behind is harmless: the next load finds nothing
    // staged and removes it.
    removeQuietly(host, paths.marker);
}

RuntimeError aboutRecordFiles(const RuntimeError& error, const RecordPaths& paths)
{
    const std::string& detail = error.detail();
    if (detail == paths.score || detail == paths.name)
        return error;
    if (startsWith(detail, paths.name))
        return RuntimeError(error.number(), paths.name);
    // The lock, the folder or its setting are named as they are: the teacher must look there. A
    // disk too full for the lock is too full for the record, which is what the pupil lost.
    const bool ours = startsWith(detail, paths.score) || detail == paths.marker;
    if (!ours && error.number() != ErrorNumber::DiskFull)
        return error;
    return RuntimeError(error.number(), paths.score);
}

} // namespace zanfiro
