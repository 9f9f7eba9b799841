#include "app/myLib.h"

#include <gtest/gtest.h>

namespace {

TEST(myLibTest, BoolIsTrueOnlyForTheWordTrue)
{
    EXPECT_TRUE(myLib::Bool("true"));
    for (const char* s : {"false", "", "true ", "1", "TRUE", " true"})
        EXPECT_FALSE(myLib::Bool(s)) << '"' << s << '"';
    EXPECT_EQ(myLib::BStr(true), "true");
    EXPECT_EQ(myLib::BStr(false), "false");
    EXPECT_TRUE(myLib::Bool(myLib::BStr(true)));
    EXPECT_FALSE(myLib::Bool(myLib::BStr(false)));
}

struct InRangeCase {
    float a, b, c, out;
};

class InRangeTest : public ::testing::TestWithParam<InRangeCase> {};

TEST_P(InRangeTest, LimitsAToBToC)
{
    const InRangeCase& t = GetParam();
    EXPECT_EQ(myLib::InRange(t.a, t.b, t.c), t.out);
}

INSTANTIATE_TEST_SUITE_P(Cases, InRangeTest,
                         ::testing::Values(InRangeCase{150, -100, 100, 100},
                                           InRangeCase{-150, -100, 100, -100},
                                           InRangeCase{42, 0, 100, 42}, InRangeCase{5, 10, 0, 10}));

} // namespace
