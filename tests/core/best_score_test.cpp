// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "record/best_score.h"

using namespace zanfiro;

namespace {

struct Reading {
    std::string text;
    double value;
};

void PrintTo(const Reading& reading, std::ostream* out) { *out << ::testing::PrintToString(reading.text); }

class ScoreValue : public ::testing::TestWithParam<Reading> { };

TEST_P(ScoreValue, ReadsTheNumberTheTextBeginsWith)
{
    EXPECT_EQ(scoreValue(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(StoredForms, ScoreValue,
    ::testing::Values(Reading{" 12\r\n", 12}, Reading{"9\r\n", 9}, Reading{"-3\r\n", -3}, Reading{" -3\r\n", -3},
        Reading{"0\r\n", 0}, Reading{"", 0}, Reading{"\r\n", 0}, Reading{" 12", 12}, Reading{"32767\r\n", 32767}));

INSTANTIATE_TEST_SUITE_P(HandEdited, ScoreValue,
    ::testing::Values(Reading{"1 2\r\n", 12}, Reading{"\t7\n", 7}, Reading{"\n\n5\r\n", 5}, Reading{"- 4", -4},
        Reading{"1\r\n2\r\n", 1}, Reading{"12abc", 12}, Reading{"+4", 4}, Reading{"007", 7}, Reading{"3.75", 3.75},
        Reading{".5", 0.5}, Reading{"5.", 5}, Reading{"-.5", -0.5}, Reading{"1,5", 1}, Reading{"1.2.3", 1.2},
        Reading{"\r 12", 0}, Reading{"\u00A012", 0}, Reading{"abc", 0}, Reading{"-", 0}, Reading{".", 0},
        Reading{"+-1", 0}, Reading{"--1", 0}, Reading{"€5", 0}, Reading{std::string("\0" "5", 2), 0},
        Reading{"0." + std::string(400, '0') + "1", 0}));

TEST(ScoreValueRange, PastTheRangeOfADoubleIsInfinity)
{
    const double infinity = std::numeric_limits<double>::infinity();
    const std::string huge = "1" + std::string(400, '0');
    EXPECT_EQ(scoreValue(huge), infinity);
    EXPECT_EQ(scoreValue(" -" + huge + "\r\n"), -infinity);
    EXPECT_EQ(scoreValue(huge + ".5"), infinity);
    EXPECT_EQ(scoreValue("1" + std::string(300, '0')), 1e300);
}

} // namespace
