// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "record/text_encoding.h"

using namespace zanfiro;

namespace {

TEST(Windows1252, EveryByteSurvivesAReadAndAWrite)
{
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    EXPECT_EQ(encodeWindows1252(decodeWindows1252(all)), all);
}

struct Mapping {
    std::string byte;
    std::string utf8;
};

class Windows1252Mapping : public ::testing::TestWithParam<Mapping> { };

TEST_P(Windows1252Mapping, ReadsAndWritesTheSameCharacter)
{
    EXPECT_EQ(decodeWindows1252(GetParam().byte), GetParam().utf8);
    EXPECT_EQ(encodeWindows1252(GetParam().utf8), GetParam().byte);
}

// The high block is where the code page is not Latin-1; accents are where Italian names live.
INSTANTIATE_TEST_SUITE_P(Characters, Windows1252Mapping,
    ::testing::Values(Mapping{"A", "A"}, Mapping{"\xE8", "è"}, Mapping{"\xF2", "ò"}, Mapping{"\xC0", "À"},
        Mapping{"\xA0", "\u00A0"}, Mapping{"\xFF", "ÿ"}, Mapping{"\x80", "€"}, Mapping{"\x82", "‚"},
        Mapping{"\x8C", "Œ"}, Mapping{"\x92", "’"}, Mapping{"\x96", "–"}, Mapping{"\x99", "™"},
        Mapping{"\x9F", "Ÿ"}, Mapping{"\x81", "\u0081"}, Mapping{"\x9D", "\u009D"},
        Mapping{std::string(1, '\0'), std::string(1, '\0')}));

class Windows1252Lacks : public ::testing::TestWithParam<std::string> { };

TEST_P(Windows1252Lacks, OneQuestionMarkPerCharacter)
{
    EXPECT_EQ(encodeWindows1252("a" + GetParam() + "b"), "a?b");
}

INSTANTIATE_TEST_SUITE_P(Characters, Windows1252Lacks,
    ::testing::Values("😀", "Ω", "ł", "中", "\u0080", "\u2028"));

TEST(Windows1252, MalformedUtf8BecomesQuestionMarksAndNeverMore)
{
    for (const std::string bad : {"\xFF", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80\x80"}) {
        const std::string out = encodeWindows1252("x" + bad + "y");
        SCOPED_TRACE(out);
        EXPECT_EQ(out.front(), 'x');
        EXPECT_EQ(out.back(), 'y');
        EXPECT_EQ(out.find_first_not_of('?', 1), out.size() - 1);
        EXPECT_LE(out.size(), bad.size() + 2);
    }
    EXPECT_EQ(encodeWindows1252("Nicol\xC3"), "Nicol?") << "a name cut in the middle of a character";
}

} // namespace
