// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/record_store.h"

#include "app/runtime_error.h"
#include "app/tavola.h"
#include "record/commit.h"
#include "record/text_encoding.h"

namespace zanfiro {

// The host refuses what is not a plain file (a FIFO, a folder, a link) without waiting on it.
std::string readRecordText(Host& host, const std::string& path)
{
    return decodeWindows1252(host.readBytes(path, recordShownBytes, nullptr));
}

std::string recordFolderOf(Host& host)
{
    std::string dir = host.recordDir();
    // Never fall back to the file system's root.
    if (dir.empty())
        throw RuntimeError(ErrorNumber::PathNotFound, "record folder");
    if (dir.back() != '/' && dir.back() != '\\')
        dir += '/';
    return dir;
}

std::string Tavola::GetSystemDir() { return recordFolderOf(m_host); }

std::string Tavola::Leggifiletxt(const std::string& nomefile)
{
    return readRecordText(m_host, nomefile);
}

void Tavola::readRecords()
{
    m_state.fileNum = 1; // no other file is open: 1 is free
    const RecordPaths paths = recordPaths(m_state.windowsDir, m_rules);
    std::string score;
    std::string name;
    // Under the lock the pair is read whole: no other copy is half way through replacing it.
    try {
        m_host.underRecordLock(paths.folder, [&] {
            recoverRecordCommit(m_host, paths);
            for (const std::string* path : {&paths.score, &paths.name})
                m_host.touchAppend(*path);
            score = Leggifiletxt(paths.score);
            name = Leggifiletxt(paths.name);
        }, true);
    } catch (const RuntimeError& error) {
        throw aboutRecordFiles(error, paths);
    }
    ctl(Ctl::lblpunti).caption = score;
    ctl(Ctl::lblnome).caption = name;
}

} // namespace zanfiro
