// SPDX-License-Identifier: GPL-3.0-or-later
// The record folder on a real disk as many copies share it: the lock, the game's own files that
// no planted link can redirect, honest answers from the file checks, a full disk, and the log
// written by two processes at once.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QLockFile>
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
#include "app/qt/record_files.h"
#include "app/qt/record_folder.h"
#include "app/runtime_error.h"
#include "run_time_error.h"
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

TEST_F(SharedFolder, ABusyLockIsAnErrorAfterTheWaitAndTheStepNeverRuns)
{
    QLockFile other(QString::fromStdString(path(recordfiles::lockFileName)));
    ASSERT_TRUE(other.lock());
    bool ran = false;
    EXPECT_EQ(errorOf([&] { recordfiles::underLock(folder(), [&] { ran = true; }, 300); }), ErrorNumber::PermissionDenied);
    EXPECT_FALSE(ran);
    other.unlock();
    recordfiles::underLock(folder(), [&] { ran = true; }, 300);
    EXPECT_TRUE(ran);
}

TEST_F(SharedFolder, TheLockGoesWhenTheStepThrows)
{
    EXPECT_EQ(errorOf([&] {
        recordfiles::underLock(folder(), [] { throw RuntimeError(ErrorNumber::DiskFull, "x"); });
    }), ErrorNumber::DiskFull);
    EXPECT_THAT(entries(), ::testing::IsEmpty());
    bool ran = false;
    recordfiles::underLock(folder(), [&] { ran = true; }, 0);
    EXPECT_TRUE(ran);
}

// A copy that died left its lock: one of a process that is gone on this machine, and one too old
// to be anyone's (a copy that died on another machine).
TEST_F(SharedFolder, AStaleLockIsClearedAndTaken)
{
    const std::string lock = path(recordfiles::lockFileName);
    QProcess gone;
    gone.start(QStringLiteral("true"));
    ASSERT_TRUE(gone.waitForFinished());
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    for (const std::string& content : {std::to_string(gone.processId()) + "\nzanfiro\n" + host.toStdString() + "\n",
             std::string("1\nzanfiro\naltro-pc\n")}) {
        SCOPED_TRACE(content);
        put(lock, content);
        const std::time_t old = std::time(nullptr) - recordfiles::staleLockMs / 1000 - 60;
        const utimbuf times{old, old};
        ASSERT_EQ(::utime(lock.c_str(), &times), 0);
        bool ran = false;
        recordfiles::underLock(folder(), [&] { ran = true; }, 2000);
        EXPECT_TRUE(ran);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(lock)));
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
    QtHost host;
};

TEST_P(PlantedLink, TheGamesOwnFilesAreNeverMadeThroughOne)
{
    for (const char* name : {"zanfiro.commit", "azanfiro.txt.new", "partite.csv"}) {
        SCOPED_TRACE(name);
        plant(path(name));
        EXPECT_EQ(errorOf([&] { recordfiles::createFile(path(name), "x"); }), ErrorNumber::PathFileAccessError);
        EXPECT_TRUE(errorOf([&] { recordfiles::readOwnFile(path(name)); }).has_value());
        EXPECT_TRUE(errorOf([&] { recordfiles::appendBytes(path(name), "x\r\n"); }).has_value());
        EXPECT_EQ(recordfiles::entryKind(path(name)), FileKind::Other);
        expectVictimUntouched();
        recordfiles::removeFile(path(name));
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
    EXPECT_TRUE(errorOf([&] { recordfiles::fileKind(path("a")); }).has_value()) << "a loop of links";
    EXPECT_TRUE(errorOf([&] { recordfiles::fileKind(path(std::string(300, 'x'))); }).has_value()) << "a name too long";
    put(path("file"), "");
    EXPECT_EQ(recordfiles::fileKind(path("file/azanfiro.txt")), FileKind::Missing);
    EXPECT_EQ(recordfiles::fileKind(path("nothing")), FileKind::Missing);
    EXPECT_EQ(recordfiles::entryKind(path("nothing")), FileKind::Missing);
}

TEST_F(SharedFolder, StagedFilesHaveNamesOfTheirOwnAndTheTargetsPermissions)
{
    put(path("azanfiro.txt"), "5\r\n");
    ASSERT_EQ(::chmod(path("azanfiro.txt").c_str(), 0664), 0);
    const std::string first = recordfiles::stageFile(path("azanfiro.txt"), " 9\r\n");
    const std::string second = recordfiles::stageFile(path("azanfiro.txt"), " 9\r\n");
    EXPECT_NE(first, second);
    EXPECT_THAT(first, ::testing::StartsWith(path("azanfiro.txt.new.")));
    EXPECT_EQ(bytesOf(first), " 9\r\n");
    recordfiles::replaceFile(first, path("azanfiro.txt"));
    struct stat info {};
    ASSERT_EQ(::stat(path("azanfiro.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0664U);
}

} // namespace
