// SPDX-License-Identifier: GPL-3.0-or-later
// The record folder on a real disk as many copies share it: the lock, the game's own files that
// no planted link can redirect, honest answers from the file checks, a full disk, and the log
// written by two processes at once.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <functional>
#include <map>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include "app/qt/qt_host.h"
#include "record/disk.h"
#include "record/folder_lock.h"
#include "app/qt/record_folder.h"
#include "app/runtime_error.h"
#include "tests/run_time_error.h"
#include "record/commit.h"
#include "record/game_log.h"

using namespace zanfiro;

namespace {

std::string bytesOf(const std::string& file)
{
    QFile f(QString::fromStdString(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<missing>");
}

void put(const std::string& file, const std::string& bytes)
{
    QFile f(QString::fromStdString(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), qint64(bytes.size()));
}

using zanfiro::test::errorOf;

class SharedFolder : public ::testing::Test {
protected:
    std::string folder() const { return dir.path().toStdString() + "/"; }
    std::string path(const std::string& name) const { return folder() + "/" + name; }
    QStringList entries() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    QTemporaryDir elsewhere; // where planted links lead
};

// Short times, so the waits below take a moment.
LockRequest quick(int silenceMs = 300)
{
    LockRequest request;
    request.times = {.emptyStaleMs = silenceMs, .otherMachineStaleMs = silenceMs, .liveSilenceMs = silenceMs,
                     .boundMs = 5000, .signAfterMs = 100, .touchEveryMs = 50};
    return request;
}

TEST_F(SharedFolder, ALockHeldByALiveSilentCopyIsAnErrorAndTheStepNeverRuns)
{
    QProcess stopped;
    stopped.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(stopped.waitForStarted());
    const qint64 stoppedId = stopped.processId();
    std::string machine = disk::lockOwnerLine();
    machine = machine.substr(8, machine.find(' ', 8) - 8);
    put(path(lockFileName), "zanfiro " + machine + " " + std::to_string(stoppedId) + " -\n");
    bool ran = false;
    EXPECT_EQ(errorOf([&] { underFolderLock(folder(), quick(), [&] { ran = true; }); }), ErrorNumber::PermissionDenied);
    EXPECT_FALSE(ran);
    // Untouched for minutes, it is no holder's any more, whoever has that process number now.
    const std::time_t old = std::time(nullptr) - 180;
    const utimbuf times{old, old};
    ASSERT_EQ(::utime(path(lockFileName).c_str(), &times), 0);
    underFolderLock(folder(), quick(60000), [&] { ran = true; });
    EXPECT_TRUE(ran);
    stopped.kill();
    stopped.waitForFinished();
    // Once that copy is gone, its lock is taken over at once.
    put(path(lockFileName), "zanfiro " + machine + " " + std::to_string(stoppedId) + " -\n");
    ran = false;
    underFolderLock(folder(), quick(60000), [&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST_F(SharedFolder, TheLockGoesWhenTheStepThrows)
{
    EXPECT_EQ(errorOf([&] {
        underFolderLock(folder(), quick(), [] { throw RuntimeError(ErrorNumber::DiskFull, "x"); });
    }), ErrorNumber::DiskFull);
    EXPECT_THAT(entries(), ::testing::IsEmpty());
    bool ran = false;
    underFolderLock(folder(), quick(), [&] { ran = true; });
    EXPECT_TRUE(ran);
}

// A copy that died left its lock: one of a process that is gone on this machine, one of another
// machine that nobody touches any more, an empty one (killed between making it and writing it)
// and one another account left unreadable.
TEST_F(SharedFolder, AStaleLockIsClearedAndTaken)
{
    const std::string lock = path(lockFileName);
    QProcess gone;
    gone.start(QStringLiteral("true"));
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 goneId = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    std::string machine = disk::lockOwnerLine();
    machine = machine.substr(8, machine.find(' ', 8) - 8);
    for (const std::string& content : {"zanfiro " + machine + " " + std::to_string(goneId) + " -\n",
             std::string("zanfiro altro-pc 1 -\n"), std::string(), std::string("unreadable")}) {
        SCOPED_TRACE(content);
        put(lock, content == "unreadable" ? "zanfiro altro-pc 1 -\n" : content);
        if (content == "unreadable")
            ::chmod(lock.c_str(), 0);
        bool ran = false;
        underFolderLock(folder(), quick(), [&] { ran = true; });
        EXPECT_TRUE(ran);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(lock)));
    }
}

// What sits at the lock's place is not a lock: an error naming it at once, never a wait.
TEST_F(SharedFolder, AFifoALinkOrAFolderAtTheLockIsAnErrorAtOnce)
{
    const std::string lock = path(lockFileName);
    const std::vector<std::function<void()>> plant = {
        [&] { ASSERT_EQ(::mkfifo(lock.c_str(), 0666), 0); },
        [&] { ASSERT_EQ(::symlink(path("nowhere").c_str(), lock.c_str()), 0); },
        [&] { ASSERT_TRUE(QDir().mkdir(QString::fromStdString(lock))); },
    };
    for (const auto& planted : plant) {
        planted();
        try {
            underFolderLock(folder(), quick(60000), [] { FAIL() << "the step ran"; });
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), ErrorNumber::PathFileAccessError);
            EXPECT_EQ(error.detail(), folder() + lockFileName);
        }
        QDir().rmdir(QString::fromStdString(lock)) || QFile::remove(QString::fromStdString(lock));
    }
}

class PlantedLink : public SharedFolder, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        victim = elsewhere.path().toStdString() + "/diario.txt";
        if (GetParam())
            put(victim, "caro diario\r\n");
    }
    void plant(const std::string& at) { ASSERT_EQ(::symlink(victim.c_str(), at.c_str()), 0); }
    void expectVictimUntouched() { EXPECT_EQ(bytesOf(victim), GetParam() ? "caro diario\r\n" : "<missing>"); }

    std::string victim;
    QtHost host{recordfiles::RecordSettings{}};
};

TEST_P(PlantedLink, TheGamesOwnFilesAreNeverMadeThroughOne)
{
    for (const char* name : {"zanfiro.commit", "azanfiro.txt.new", "partite.csv"}) {
        SCOPED_TRACE(name);
        plant(path(name));
        EXPECT_EQ(errorOf([&] { disk::createFile(path(name), "x", disk::Sharing::Private); }), ErrorNumber::PathFileAccessError);
        EXPECT_TRUE(errorOf([&] { disk::readOwnFile(path(name)); }).has_value());
        EXPECT_TRUE(errorOf([&] { disk::appendLine(path(name), "x\r\n", "", disk::Sharing::Private); }).has_value());
        EXPECT_EQ(disk::entryKind(path(name)), FileKind::Other);
        expectVictimUntouched();
        disk::removeFile(path(name));
        expectVictimUntouched();
    }
}

// A commit that meets a link where its marker goes stops before the commit point.
TEST_P(PlantedLink, AtTheMarkerACommitKeepsTheOldPair)
{
    const RecordPaths paths = recordPaths(folder());
    put(paths.score, " 5\r\n");
    put(paths.name, "Bruno\r\n");
    plant(paths.marker);
    EXPECT_TRUE(errorOf([&] { commitRecord(host, paths, " 9\r\n", "Anna\r\n"); }).has_value());
    expectVictimUntouched();
    EXPECT_EQ(bytesOf(paths.score), " 5\r\n");
    EXPECT_EQ(entries(), (QStringList{"azanfiro.txt", "zanfiro.commit", "zanfiro.txt"}));
}

// At load, links at the marker and at staged names are none of ours: they go, and what they lead
// to stays as it was. Then a commit goes through.
TEST_P(PlantedLink, AtLoadTheyAreClearedAndTheRecordGoesIn)
{
    const RecordPaths paths = recordPaths(folder());
    put(paths.score, " 5\r\n");
    put(paths.name, "Bruno\r\n");
    for (const char* name : {"zanfiro.commit", "azanfiro.txt.new", "zanfiro.txt.new", "azanfiro.txt.new.x1"})
        plant(path(name));
    recoverRecordCommit(host, paths);
    expectVictimUntouched();
    EXPECT_EQ(entries(), (QStringList{"azanfiro.txt", "zanfiro.txt"}));
    commitRecord(host, paths, " 9\r\n", "Anna\r\n");
    EXPECT_EQ(bytesOf(paths.score), " 9\r\n");
    EXPECT_EQ(bytesOf(paths.name), "Anna\r\n");
    expectVictimUntouched();
}

INSTANTIATE_TEST_SUITE_P(Links, PlantedLink, ::testing::Bool(),
    [](const auto& info) { return std::string(info.param ? "Live" : "Dangling"); });

// "Missing" is an answer of the system, not a failed question.
TEST_F(SharedFolder, ACheckThatCannotBeMadeIsNeverTakenForAbsent)
{
    ASSERT_EQ(::symlink(path("b").c_str(), path("a").c_str()), 0);
    ASSERT_EQ(::symlink(path("a").c_str(), path("b").c_str()), 0);
    EXPECT_TRUE(errorOf([&] { disk::fileKind(path("a")); }).has_value()) << "a loop of links";
    EXPECT_TRUE(errorOf([&] { disk::fileKind(path(std::string(300, 'x'))); }).has_value()) << "a name too long";
    put(path("file"), "");
    EXPECT_EQ(disk::fileKind(path("file/azanfiro.txt")), FileKind::Missing);
    EXPECT_EQ(disk::fileKind(path("nothing")), FileKind::Missing);
    EXPECT_EQ(disk::entryKind(path("nothing")), FileKind::Missing);
}

TEST_F(SharedFolder, StagedFilesHaveNamesOfTheirOwnAndTheTargetsPermissions)
{
    put(path("azanfiro.txt"), "5\r\n");
    ASSERT_EQ(::chmod(path("azanfiro.txt").c_str(), 0664), 0);
    const std::string first = disk::stageFile(path("azanfiro.txt"), " 9\r\n", disk::Sharing::Private);
    const std::string second = disk::stageFile(path("azanfiro.txt"), " 9\r\n", disk::Sharing::Private);
    EXPECT_NE(first, second);
    EXPECT_THAT(first, ::testing::StartsWith(path("azanfiro.txt.new.")));
    EXPECT_EQ(bytesOf(first), " 9\r\n");
    disk::replaceFile(first, path("azanfiro.txt"), disk::Sharing::Private);
    struct stat info {};
    ASSERT_EQ(::stat(path("azanfiro.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0664U);
}

} // namespace
