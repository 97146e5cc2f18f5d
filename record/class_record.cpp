// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/class_record.h"

#include "app/runtime_error.h"
#include "record/record_store.h"

namespace zanfiro {

namespace {

std::string firstLine(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

ClassRecord readPair(Host& host, const RecordPaths& paths)
{
    ClassRecord record;
    for (auto [path, text] : {std::pair{&paths.score, &record.score}, std::pair{&paths.name, &record.name}})
        if (host.fileKind(*path) != FileKind::Missing)
            *text = firstLine(readRecordText(host, *path));
    return record;
}

} // namespace


ClassRecord readClassRecord(Host& host, const RecordPaths& paths)
{
    ClassRecord record;
    try {
        host.underRecordLock(paths.folder, [&] {
            recoverRecordCommit(host, paths);
            record = readPair(host, paths);
        }, true);
    } catch (const RuntimeError&) {
        // Without the lock (a folder the teacher may only read, or a copy holding it past the
        // wait) the pair is shown as it is: this window only shows it.
        record = readPair(host, paths);
    }
    return record;
}

bool resetClassRecord(Host& host, const RecordPaths& paths, const ClassRecord& named)
{
    bool reset = false;
    try {
        host.underRecordLock(paths.folder, [&] {
            recoverRecordCommit(host, paths);
            const ClassRecord now = readPair(host, paths);
            if (now.score != named.score || now.name != named.name)
                return;
            commitRecord(host, paths, "", "");
            reset = true;
        }, false);
    } catch (const RuntimeError& error) {
        throw aboutRecordFiles(error, paths);
    }
    return reset;
}

} // namespace zanfiro
