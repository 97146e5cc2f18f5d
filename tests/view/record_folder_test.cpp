// SPDX-License-Identifier: GPL-3.0-or-later
// Where the record lives (the machine's setting, the launch's option, the per-user folder), a
// disk that runs out of room or of entries, and the teacher's log written by two processes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
#include <map>
#include <sys/mount.h>

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

using zanfiro::test::errorOf;

// Environment variables set for one test and put back afterwards.
class Environment {
public:
    void set(const char* name, const QByteArray& value)
    {
        m_saved.try_emplace(name, qgetenv(name), qEnvironmentVariableIsSet(name));
        qputenv(name, value);
    }
    void unset(const char* name)
    {
        m_saved.try_emplace(name, qgetenv(name), qEnvironmentVariableIsSet(name));
        qunsetenv(name);
    }
    ~Environment()
    {
        for (const auto& [name, value] : m_saved)
            value.second ? qputenv(name.c_str(), value.first) : qunsetenv(name.c_str());
    }

private:
    std::map<std::string, std::pair<QByteArray, bool>> m_saved;
};

class RecordFolder : public ::testing::Test {
protected:
    QString settingsFile(const QByteArray& text)
    {
        const QString file = dir.path() + QStringLiteral("/zanfiro.ini");
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return file;
    }

    QTemporaryDir dir;
    Environment environment;
};

struct Setting {
    const char* what;
    QByteArray ini;
    const char* launch;
    const char* folder;
    bool log;
};

void PrintTo(const Setting& setting, std::ostream* out) { *out << setting.what; }

class Settings : public RecordFolder, public ::testing::WithParamInterface<Setting> { };

TEST_P(Settings, TheLaunchsFolderWinsOverTheMachines)
{
    const recordfiles::RecordSettings read
        = recordfiles::readRecordSettings(settingsFile(GetParam().ini), QString::fromUtf8(GetParam().launch));
    EXPECT_EQ(read.folder, QString::fromUtf8(GetParam().folder));
    EXPECT_EQ(read.gameLog, GetParam().log);
}

INSTANTIATE_TEST_SUITE_P(Sources, Settings,
    ::testing::Values(Setting{"nothing set", "", "", "", true},
        Setting{"the machine's folder", "[record]\nfolder=/srv/classe/zanfiro\n", "", "/srv/classe/zanfiro", true},
        Setting{"the launch's folder", "[record]\nfolder=/srv/classe/zanfiro\n", "/tmp/gara", "/tmp/gara", true},
        Setting{"the log turned off", "[record]\nlog=false\n", "", "", false},
        Setting{"both", "[record]\nfolder=/srv/4B\nlog=false\n", "", "/srv/4B", false}));

TEST_F(RecordFolder, TheMachinesSettingsLiveInTheSystemConfigFolder)
{
    EXPECT_THAT(recordfiles::systemSettingsPath().toStdString(), ::testing::EndsWith("/zanfiro/zanfiro.ini"));
    EXPECT_EQ(recordfiles::readRecordSettings(dir.path() + QStringLiteral("/absent.ini"), {}).folder, QString());
}

TEST_F(RecordFolder, ASetFolderIsUsedAsItIsAndNeverMade)
{
    EXPECT_EQ(recordfiles::recordDir(dir.path()), dir.path().toStdString() + "/");
    const QString share = dir.path() + QStringLiteral("/share/not/mounted");
    EXPECT_EQ(errorOf([&] { recordfiles::recordDir(share); }), ErrorNumber::PathNotFound);
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/share")));
    QFile file(dir.path() + QStringLiteral("/afile"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(errorOf([&] { recordfiles::recordDir(file.fileName()); }), ErrorNumber::PathNotFound);
}

// A folder that names no place on its own is the error box naming the setting, never a guess.
TEST_F(RecordFolder, ARelativeOrHomeFolderSettingIsAnErrorNamingIt)
{
    for (const QByteArray& folder : {QByteArray("classe-4b/zanfiro"), QByteArray("~/zanfiro")}) {
        const QString ini = settingsFile("[record]\nfolder=" + folder + "\n");
        const recordfiles::RecordSettings read = recordfiles::readRecordSettings(ini, {});
        try {
            recordfiles::recordDir(read);
            ADD_FAILURE() << "no error for " << folder.toStdString();
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), ErrorNumber::PathNotFound);
            EXPECT_THAT(error.detail(), ::testing::HasSubstr(folder.toStdString() + " (record/folder in " + ini.toStdString()));
        }
    }
}

TEST_F(RecordFolder, TheHostUsesTheFolderItWasGiven)
{
    QtHost host(recordfiles::RecordSettings{dir.path(), false});
    EXPECT_EQ(host.recordDir(), dir.path().toStdString() + "/");
    EXPECT_FALSE(host.gameLogOn());
}

// With no home and no data folder the record would land at the file system's root.
TEST_F(RecordFolder, NoHomeIsAnErrorNeverTheRoot)
{
    environment.unset("XDG_DATA_HOME");
    for (const QByteArray& home : {QByteArray(), QByteArray(""), QByteArray("/"), QByteArray("//"),
             QByteArray("/nonexistent/home/alunno"), QByteArray("relative")}) {
        home.isNull() ? environment.unset("HOME") : environment.set("HOME", home);
        EXPECT_EQ(errorOf([] { recordfiles::recordDir(); }), ErrorNumber::PathNotFound);
    }
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/.local/share/zanfiro")));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/nonexistent")));
}

// A small disk of our own; only where the system lets the tests mount one.
class SmallDisk : public RecordFolder {
protected:
    void SetUp() override
    {
        const QByteArray options = "size=64k,nr_inodes=6";
        if (::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0, options.constData()) != 0)
            GTEST_SKIP() << "no tmpfs can be mounted here";
        m_mounted = true;
    }
    void TearDown() override
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
    }

private:
    bool m_mounted = false;
};

TEST_F(SmallDisk, ALongWriteThatFillsTheDiskIsDiskFull)
{
    const std::string target = dir.path().toStdString() + "/azanfiro.txt";
    EXPECT_EQ(errorOf([&] { disk::stageFile(target, std::string(200 * 1024, '7'), disk::Sharing::Private); }), ErrorNumber::DiskFull);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList()) << "nothing staged is left";
}

TEST_F(SmallDisk, AFolderThatCannotBeMadeForLackOfEntriesIsDiskFull)
{
    for (int i = 0; QDir(dir.path()).mkdir(QStringLiteral("d%1").arg(i)); ++i) {
    }
    environment.set("XDG_DATA_HOME", QFile::encodeName(dir.path() + QStringLiteral("/data")));
    EXPECT_EQ(errorOf([] { recordfiles::recordDir(); }), ErrorNumber::DiskFull);
}

// A class folder's disk that fills up: the record is still read at load, and only what needs
// the room fails, as a full disk, leaving every file as it was.
TEST_F(SmallDisk, AFullDiskStillLetsThePupilPlay)
{
    const std::string folder = dir.path().toStdString() + "/";
    const RecordPaths paths = recordPaths(folder);
    QtHost host(recordfiles::RecordSettings{}); // its own folder: a failed line is not set aside
    for (const auto& [file, bytes] : {std::pair{paths.score, " 5\r\n"}, std::pair{paths.name, "Bruno\r\n"}})
        disk::createFile(file, bytes, disk::Sharing::Class);
    host.appendLine(folder + gameLogFile, "a\r\n", "H\r\n");
    QFile filler(dir.path() + QStringLiteral("/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'x')) > 0) {
    }
    filler.close();

    std::string score;
    host.underRecordLock(folder, [&] { score = host.readBytes(paths.score, 100, nullptr); }, true);
    EXPECT_EQ(score, " 5\r\n");
    const auto store = [&] { host.underRecordLock(folder, [&] { commitRecord(host, paths, " 9\r\n", "Anna\r\n"); }, false); };
    EXPECT_EQ(errorOf(store), ErrorNumber::DiskFull);
    EXPECT_EQ(errorOf([&] { host.appendLine(folder + gameLogFile, std::string(64 * 1024, 'b') + "\r\n", ""); }),
              ErrorNumber::DiskFull);
    QFile::remove(filler.fileName());
    EXPECT_EQ(disk::readFile(paths.score, 100, nullptr), " 5\r\n");
    EXPECT_EQ(disk::readFile(paths.name, 100, nullptr), "Bruno\r\n");
    EXPECT_EQ(disk::readFile(folder + gameLogFile, 100, nullptr), "H\r\na\r\n") << "a cut line is taken back";
}

// One copy of the test program, started by the test below, appending its games to the log.
TEST(GameLogWriter, AppendsItsGames)
{
    const QString folder = qEnvironmentVariable("ZANFIRO_TEST_LOG_FOLDER");
    if (folder.isEmpty())
        GTEST_SKIP() << "run by TwoCopies.AppendWholeLinesOnly";
    QtHost host(recordfiles::RecordSettings{folder, true});
    FinishedGame game;
    game.name = qEnvironmentVariable("ZANFIRO_TEST_LOG_NAME").toStdString();
    for (game.score = 0; game.score < 1000; ++game.score)
        appendToGameLog(host, folder.toStdString(), game);
}

TEST(TwoCopies, AppendWholeLinesOnly)
{
    QTemporaryDir folder;
    std::vector<std::unique_ptr<QProcess>> copies;
    for (const QString& name : {QStringLiteral("Anna"), QStringLiteral("Bruno")}) {
        auto copy = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ZANFIRO_TEST_LOG_FOLDER"), folder.path());
        environment.insert(QStringLiteral("ZANFIRO_TEST_LOG_NAME"), name + QString(60, QLatin1Char('x')));
        copy->setProcessEnvironment(environment);
        copy->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=GameLogWriter.*")});
        copies.push_back(std::move(copy));
    }
    for (const auto& copy : copies) {
        ASSERT_TRUE(copy->waitForFinished(120000));
        EXPECT_EQ(copy->exitCode(), 0) << copy->readAllStandardOutput().toStdString();
    }

    QFile log(folder.path() + QStringLiteral("/partite.csv"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    QByteArray bytes = log.readAll();
    const QByteArray header = QByteArray::fromStdString(gameLogHeader());
    ASSERT_TRUE(bytes.startsWith(header));
    bytes.remove(0, header.size());
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = bytes.chopped(1).split('\n');
    EXPECT_EQ(lines.size(), 2000);
    const QRegularExpression whole(QStringLiteral("^;;(Anna|Bruno)x{60};(\\d+);0;0;uscita;no;5;5\\r$"));
    std::map<QString, int> next;
    for (const QByteArray& line : lines) {
        const QRegularExpressionMatch match = whole.match(QString::fromUtf8(line));
        ASSERT_TRUE(match.hasMatch()) << "a torn line: " << line.toStdString();
        EXPECT_EQ(match.captured(2).toInt(), next[match.captured(1)]++) << "each copy's games in order, none lost";
    }
}

} // namespace
