// SPDX-License-Identifier: GPL-3.0-or-later
// The record folder as an administrator writes it in the settings file, Windows paths included.
#include <gtest/gtest.h>

#include "record/disk.h"
#include "record/settings_file.h"

using namespace zanfiro;

namespace {

struct Written {
    const char* what;
    std::string ini;
    std::optional<std::string> folder;
};

void PrintTo(const Written& written, std::ostream* out) { *out << written.what; }

class FolderSetting : public ::testing::TestWithParam<Written> { };

TEST_P(FolderSetting, ReadsAsWritten)
{
    EXPECT_EQ(iniValue(GetParam().ini, "record", "folder"), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(Inis, FolderSetting, ::testing::Values(
    Written{"slashes", "[record]\nfolder=/srv/classe-4b/zanfiro\nlog=true\n", "/srv/classe-4b/zanfiro"},
    Written{"a drive", "[record]\r\nfolder=C:\\Dati\\zanfiro\r\n", "C:\\Dati\\zanfiro"},
    Written{"a share", "[record]\r\nfolder=\\\\server\\classe4b\\zanfiro\r\n", "\\\\server\\classe4b\\zanfiro"},
    Written{"a byte order mark and spaces", "\xEF\xBB\xBF [Record] \r\n Folder = //server/classe 4b/zanfiro  \r\n",
            "//server/classe 4b/zanfiro"},
    Written{"quoted", "[record]\nfolder=\"C:\\Dati\\zanfiro\"\n", "C:\\Dati\\zanfiro"},
    Written{"another section", "[gioco]\nfolder=/x\n[record]\nlog=false\n", std::nullopt},
    Written{"a comment", "[record]\n;folder=/old\nfolder=/new\n", "/new"}));

TEST(FolderSetting, OnlyAFolderThatNamesOnePlaceIsTaken)
{
#ifdef _WIN32
    for (const char* folder : {"C:\\Dati\\zanfiro", "c:/dati", "\\\\server\\classe", "//server/classe"})
        EXPECT_TRUE(disk::isAbsoluteFolder(folder)) << folder;
    for (const char* folder : {"Dati\\zanfiro", "C:Dati", "\\Dati", "~/zanfiro", ""})
        EXPECT_FALSE(disk::isAbsoluteFolder(folder)) << folder;
#else
    EXPECT_TRUE(disk::isAbsoluteFolder("/srv/classe-4b/zanfiro"));
    for (const char* folder : {"classe-4b/zanfiro", "~/zanfiro", "~alunno1", "C:\\Dati\\zanfiro", ""})
        EXPECT_FALSE(disk::isAbsoluteFolder(folder)) << folder;
#endif
}

} // namespace
