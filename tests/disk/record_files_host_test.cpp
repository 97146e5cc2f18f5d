// SPDX-License-Identifier: GPL-3.0-or-later
// The record files on a real disk, in a temporary folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

#include "app/qt/qt_host.h"
#include "record/disk.h"
#include "record/folder_lock.h"
#include "app/qt/record_folder.h"
#include "app/runtime_error.h"
#include "record/commit.h"

using namespace zanfiro;

namespace {

class RecordFiles : public ::testing::Test {
protected:
    std::string path(const char* name) const { return dir.path().toStdString() + "/" + name; }

    static std::string bytesOf(const std::string& file)
    {
        QFile f(QString::fromStdString(file));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<missing>");
    }

    static void put(const std::string& file, const std::string& bytes)
    {
        QFile f(QString::fromStdString(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
    }

    static ErrorNumber errorOf(const std::function<void()>& operation)
    {
        try {
            operation();
        } catch (const RuntimeError& error) {
            return error.number();
        }
        return ErrorNumber{};
    }

    QTemporaryDir dir;
};

TEST_F(RecordFiles, BytesGoOutAndComeBackExactly)
{
    const std::string file = path("azanfiro.txt");
    const std::string bytes = std::string(" 12\r\nNicol\xF2\n\r\0end", 15);
    put(file, bytes);
    EXPECT_EQ(bytesOf(file), bytes);
    std::uint64_t size = 0;
    EXPECT_EQ(disk::readFile(file, 4096, &size), bytes);
    EXPECT_EQ(size, bytes.size());
    EXPECT_EQ(disk::readFile(file, 3, nullptr), " 12");
}

TEST_F(RecordFiles, TouchCreatesEmptyAndLeavesExistingBytesAlone)
{
    const std::string fresh = path("zanfiro.txt");
    EXPECT_EQ(disk::fileKind(fresh), FileKind::Missing);
    disk::createIfMissing(fresh, disk::Sharing::Private);
    EXPECT_EQ(disk::fileKind(fresh), FileKind::Regular);
    EXPECT_EQ(bytesOf(fresh), "");
    const std::string old = path("azanfiro.txt");
    put(old, "9\r\n");
    disk::createIfMissing(old, disk::Sharing::Private);
    EXPECT_EQ(bytesOf(old), "9\r\n");
}

// Another pupil's file, or a dangling link, planted where a record goes: never read or made through.
TEST_F(RecordFiles, ALinkAtARecordIsNeverFollowed)
{
    put(path("real.txt"), "7\r\n");
    ASSERT_EQ(::symlink(path("real.txt").c_str(), path("azanfiro.txt").c_str()), 0);
    ASSERT_EQ(::symlink(path("made.txt").c_str(), path("zanfiro.txt").c_str()), 0);
    EXPECT_EQ(disk::fileKind(path("azanfiro.txt")), FileKind::Regular);
    EXPECT_EQ(errorOf([&] { disk::readFile(path("azanfiro.txt"), 100, nullptr); }), ErrorNumber::PathFileAccessError);
    for (const char* name : {"azanfiro.txt", "zanfiro.txt"})
        EXPECT_EQ(errorOf([&] { disk::createIfMissing(path(name), disk::Sharing::Class); }), ErrorNumber::PathFileAccessError);
    EXPECT_EQ(bytesOf(path("made.txt")), "<missing>");
}

// Opening a FIFO with no peer would wait for ever: each operation must refuse it up front.
TEST_F(RecordFiles, AFifoOrAFolderIsRefusedWithoutWaiting)
{
    const std::string fifo = path("azanfiro.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = path("zanfiro.txt");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    put(path("staged"), "1\r\n");

    for (const std::string& target : {fifo, folder}) {
        SCOPED_TRACE(target);
        EXPECT_EQ(disk::fileKind(target), FileKind::Other);
        const std::vector<std::function<void()>> operations = {
            [&] { disk::createIfMissing(target, disk::Sharing::Private); },
            [&] { disk::readFile(target, 4096, nullptr); },
            [&] { disk::stageFile(target, "x", disk::Sharing::Private); },
            [&] { disk::replaceFile(path("staged"), target, disk::Sharing::Private); },
        };
        for (const auto& operation : operations) {
            auto outcome = std::async(std::launch::async, [&] { return errorOf(operation); });
            if (outcome.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
                // Give the stuck open a peer so the test can end, then report.
                const int peer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
                outcome.wait();
                ::close(peer);
                ADD_FAILURE() << "an operation waited on the FIFO";
                continue;
            }
            EXPECT_EQ(outcome.get(), ErrorNumber::PathFileAccessError);
        }
    }
    EXPECT_EQ(bytesOf(path("staged")), "1\r\n");
}

TEST_F(RecordFiles, ReplacingPutsTheNewFileInPlaceWithTheOldPermissions)
{
    const std::string target = path("azanfiro.txt");
    put(target, "5\r\n");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    put(path("azanfiro.txt.new"), " 9\r\n");
    disk::replaceFile(path("azanfiro.txt.new"), target, disk::Sharing::Private);
    EXPECT_EQ(bytesOf(target), " 9\r\n");
    EXPECT_EQ(disk::fileKind(path("azanfiro.txt.new")), FileKind::Missing);
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640U);
}

// Even for an administrator, whom the system would let write it.
TEST_F(RecordFiles, AReadOnlyRecordIsNeverReplaced)
{
    const std::string target = path("azanfiro.txt");
    put(target, "5\r\n");
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    put(path("azanfiro.txt.new"), " 9\r\n");
    EXPECT_EQ(errorOf([&] { disk::replaceFile(path("azanfiro.txt.new"), target, disk::Sharing::Private); }), ErrorNumber::PermissionDenied);
    EXPECT_EQ(bytesOf(target), "5\r\n");
    EXPECT_EQ(bytesOf(path("azanfiro.txt.new")), " 9\r\n");
}

TEST_F(RecordFiles, AHugeFileReadsOnlyTheBound)
{
    const std::string huge = path("azanfiro.txt");
    put(huge, "");
    const std::uint64_t hundredMegabytes = 100ULL * 1024 * 1024;
    ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(hundredMegabytes)), 0);
    std::uint64_t size = 0;
    EXPECT_EQ(disk::readFile(huge, 4096, &size), std::string(4096, '\0'));
    EXPECT_EQ(size, hundredMegabytes);
}

TEST_F(RecordFiles, TheRecordFolderIsMadeUnderTheUsersDataFolder)
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + "/data"));
    const std::string made = recordfiles::recordDir();
    put(path("blocker"), "");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + "/blocker"));
    const ErrorNumber blocked = errorOf([] { recordfiles::recordDir(); });
    qputenv("XDG_DATA_HOME", saved);
    EXPECT_EQ(made, dir.path().toStdString() + "/data/zanfiro/");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(made)).isDir());
    EXPECT_EQ(blocked, ErrorNumber::PathNotFound) << "a file where the folder should be";
}

// The whole pair on a real disk, with a fault placed at each step.
struct DiskFault {
    const char* what;
    const char* blocked; // a folder put where this file must go, or a record made read-only
    bool readOnly;
    bool newPair;
};

void PrintTo(const DiskFault& fault, std::ostream* out) { *out << fault.what; }

class DiskCommit : public RecordFiles, public ::testing::WithParamInterface<DiskFault> { };

TEST_P(DiskCommit, AFailedWriteLeavesAWholePairAfterTheNextLoad)
{
    QtHost host{recordfiles::RecordSettings{}}; // the game's own host: its file operations are the real ones
    const std::string folder = dir.path().toStdString() + "/";
    const RecordPaths paths = recordPaths(folder);
    put(paths.score, " 5\r\n");
    put(paths.name, "Bruno\r\n");
    const std::string blocked = folder + "/" + GetParam().blocked;
    if (GetParam().readOnly)
        ASSERT_EQ(::chmod(blocked.c_str(), 0444), 0);
    else
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(blocked)));

    EXPECT_THROW(commitRecord(host, paths, " 9\r\n", "Anna\r\n"), RuntimeError);
    if (GetParam().readOnly)
        ASSERT_EQ(::chmod(blocked.c_str(), 0644), 0);
    else
        ASSERT_TRUE(QDir(QString::fromStdString(blocked)).removeRecursively());
    recoverRecordCommit(host, paths);

    EXPECT_EQ(bytesOf(paths.score), GetParam().newPair ? " 9\r\n" : " 5\r\n");
    EXPECT_EQ(bytesOf(paths.name), GetParam().newPair ? "Anna\r\n" : "Bruno\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
              (QStringList{"azanfiro.txt", "zanfiro.txt"}));
}

// Both record files are checked before the commit point: a read-only one, either of them, leaves
// the whole old pair and nothing staged.
INSTANTIATE_TEST_SUITE_P(Steps, DiskCommit,
    ::testing::Values(DiskFault{"staging the score", "azanfiro.txt", true, false},
        DiskFault{"staging the name", "zanfiro.txt", true, false},
        DiskFault{"writing the marker", "zanfiro.commit", false, false}));

TEST_F(RecordFiles, ACommitWithoutFaultsLeavesOnlyThePair)
{
    QtHost host{recordfiles::RecordSettings{}}; // the game's own host: its file operations are the real ones
    const RecordPaths paths = recordPaths(dir.path().toStdString() + "/");
    commitRecord(host, paths, " 1\r\n", "\r\n");
    EXPECT_EQ(bytesOf(paths.score), " 1\r\n");
    EXPECT_EQ(bytesOf(paths.name), "\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), (QStringList{"azanfiro.txt", "zanfiro.txt"}));
}

} // namespace
