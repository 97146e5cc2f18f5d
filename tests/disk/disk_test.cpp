// SPDX-License-Identifier: GPL-3.0-or-later
// The record folder's system calls on the disk this program runs on, Linux or Windows alike: the
// log's lines whole, the load's files made only when missing, the game's own files made only new,
// and the lock taken over from a copy that left it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>

#include "app/runtime_error.h"
#include "record/disk.h"
#include "record/folder_lock.h"
#include "tests/run_time_error.h"

using namespace zanfiro;
namespace fs = std::filesystem;
using zanfiro::test::errorOf;

namespace {

class Disk : public ::testing::Test {
protected:
    Disk() : m_folder(fs::temp_directory_path() / ("zanfiro-disk-" + std::to_string(std::random_device{}())))
    {
        fs::create_directories(m_folder);
    }
    ~Disk() override { fs::remove_all(m_folder); }

    std::string folder() const { return m_folder.generic_string() + "/"; }
    std::string path(const std::string& name) const { return folder() + name; }

    static std::string bytesOf(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            return "<missing>";
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    static void put(const std::string& file, const std::string& bytes)
    {
        std::ofstream(file, std::ios::binary) << bytes;
    }

private:
    fs::path m_folder;
};

constexpr auto mine = disk::Sharing::Private;

// A log made empty by a technician, one a dead copy left with a line half written, and a
// line every time: each line whole and on its own.
TEST_F(Disk, LogLinesAreWholeWhoeverMadeTheFile)
{
    const std::string log = path("partite.csv");
    put(log, "");
    disk::appendLine(log, "a;1\r\n", "H\r\n", mine);
    disk::appendLine(log, "b;2\r\n", "H\r\n", mine);
    EXPECT_EQ(bytesOf(log), "H\r\na;1\r\nb;2\r\n");
    put(log, "H\r\na;1\r\nb;");
    disk::appendLine(log, "c;3\r\n", "H\r\n", mine);
    EXPECT_EQ(bytesOf(log), "H\r\na;1\r\nb;\r\nc;3\r\n");
    const std::string fresh = path("nuovo.csv");
    disk::appendLine(fresh, "a;1\r\n", "H\r\n", mine);
    EXPECT_EQ(bytesOf(fresh), "H\r\na;1\r\n");
}

// The load makes what is missing and opens nothing that is there; the game's own files are made
// only where nothing is; what is read is read whole, up to its bound.
TEST_F(Disk, FilesAreMadeOnlyWhereNothingIs)
{
    put(path("azanfiro.txt"), " 12\r\n");
    disk::createIfMissing(path("azanfiro.txt"), mine);
    disk::createIfMissing(path("zanfiro.txt"), mine);
    EXPECT_EQ(bytesOf(path("azanfiro.txt")), " 12\r\n");
    EXPECT_EQ(bytesOf(path("zanfiro.txt")), "");
    std::uint64_t size = 0;
    EXPECT_EQ(disk::readFile(path("azanfiro.txt"), 3, &size), " 12");
    EXPECT_EQ(size, 5U);
    EXPECT_EQ(errorOf([&] { disk::readFile(path("nothing"), 10, nullptr); }), ErrorNumber::FileNotFound);

    disk::createFile(path("zanfiro.commit"), "x\r\n", mine);
    EXPECT_EQ(errorOf([&] { disk::createFile(path("zanfiro.commit"), "y\r\n", mine); }), ErrorNumber::PathFileAccessError);
    EXPECT_EQ(disk::readOwnFile(path("zanfiro.commit")), "x\r\n");

    const std::string staged = disk::stageFile(path("azanfiro.txt"), " 13\r\n", mine);
    EXPECT_EQ(staged.rfind(path("azanfiro.txt.new."), 0), 0U);
    disk::replaceFile(staged, path("azanfiro.txt"), mine);
    EXPECT_EQ(bytesOf(path("azanfiro.txt")), " 13\r\n");
    EXPECT_EQ(disk::entryKind(staged), FileKind::Missing);
    disk::removeFile(path("zanfiro.commit"));
    disk::removeFile(path("zanfiro.commit"));
    std::vector<std::string> entries = disk::folderEntries(folder());
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"azanfiro.txt", "zanfiro.txt"}));
}

TEST_F(Disk, AFolderWhereAFileGoesIsRefused)
{
    fs::create_directory(path("zanfiro.txt"));
    EXPECT_EQ(disk::entryKind(path("zanfiro.txt")), FileKind::Other);
    EXPECT_EQ(errorOf([&] { disk::createIfMissing(path("zanfiro.txt"), mine); }), ErrorNumber::PathFileAccessError);
    EXPECT_TRUE(errorOf([&] { disk::readFile(path("zanfiro.txt"), 10, nullptr); }).has_value());
    EXPECT_TRUE(errorOf([&] { disk::appendLine(path("zanfiro.txt"), "x\r\n", "", mine); }).has_value());
}

LockRequest quick()
{
    LockRequest request;
    request.times = {.emptyStaleMs = 200, .otherMachineStaleMs = 200, .liveSilenceMs = 200, .boundMs = 5000,
                     .signAfterMs = 50, .touchEveryMs = 20};
    return request;
}

// Left by copies that died, here or elsewhere, or killed before it said whose it was: taken over,
// with the waiting sign shown and taken down again; the lock goes after the step, which ran once.
TEST_F(Disk, ALeftLockIsTakenOverAndGoesAfterTheStep)
{
    for (const std::string& left : {std::string(), std::string("zanfiro altro-pc 4242 -\n"), std::string("garbage")}) {
        SCOPED_TRACE(left);
        put(path(lockFileName), left);
        int steps = 0;
        std::vector<bool> signs;
        LockRequest request = quick();
        request.waiting = [&](bool waiting) { signs.push_back(waiting); };
        underFolderLock(folder(), request, [&] {
            ++steps;
            EXPECT_EQ(disk::readLock(path(lockFileName)).content, disk::lockOwnerLine());
        });
        EXPECT_EQ(steps, 1);
        EXPECT_EQ(disk::entryKind(path(lockFileName)), FileKind::Missing);
        ASSERT_FALSE(signs.empty());
        EXPECT_TRUE(signs.front());
        EXPECT_FALSE(signs.back());
    }
}

TEST_F(Disk, AFolderAtTheLockIsAnErrorNamingIt)
{
    fs::create_directory(path(lockFileName));
    try {
        underFolderLock(folder(), quick(), [] { ADD_FAILURE() << "the step ran"; });
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::PathFileAccessError);
        EXPECT_EQ(error.detail(), path(lockFileName));
    }
}

} // namespace
