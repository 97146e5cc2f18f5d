// SPDX-License-Identifier: GPL-3.0-or-later
// A teacher resetting the class record at a given moment (milliseconds since the epoch), as the
// results window does it: the record read, then reset only if it is still that one. Prints
// "reset" or "kept" (a pupil set a newer record in between); an error on stderr and status 1.
// Usage: reset_race --record-dir DIR AT_MS
#include <QCoreApplication>
#include <QDateTime>
#include <QThread>

#include <cstdio>

#include "app/qt/launch_options.h"
#include "app/qt/qt_host.h"
#include "app/runtime_error.h"
#include "record/record_store.h"
#include "record/class_record.h"

int main(int argc, char** argv)
{
    using namespace zanfiro;
    QCoreApplication app(argc, argv);
    const LaunchOptions options = parseLaunchOptions(QCoreApplication::arguments());
    if (options.recordDir.isEmpty() || QCoreApplication::arguments().size() < 4) {
        std::fprintf(stderr, "usage: reset_race --record-dir DIR AT_MS\n");
        return 2;
    }
    const qint64 atMs = QCoreApplication::arguments().last().toLongLong();
    QtHost host(recordfiles::readRecordSettings(recordfiles::systemSettingsPath(), options.recordDir));
    try {
        const RecordPaths paths = recordPaths(recordFolderOf(host));
        while (QDateTime::currentMSecsSinceEpoch() < atMs)
            QThread::usleep(200);
        const ClassRecord named = readClassRecord(host, paths);
        std::puts(resetClassRecord(host, paths, named) ? "reset" : "kept");
    } catch (const RuntimeError& error) {
        std::fprintf(stderr, "%s\n", error.boxText().c_str());
        return 1;
    }
    return 0;
}
