#include "platform/values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace platform;

namespace {

struct ToInt32Case {
    double in;
    int32_t out;
};

class ToInt32Test : public ::testing::TestWithParam<ToInt32Case> {};

TEST_P(ToInt32Test, TruncatesTowardZeroAndSaturates)
{
    EXPECT_EQ(ToInt32(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ToInt32Test,
    ::testing::Values(ToInt32Case{0.0, 0}, ToInt32Case{279.5, 279}, ToInt32Case{-279.5, -279},
                      ToInt32Case{0.999999, 0}, ToInt32Case{-0.5, 0},
                      ToInt32Case{2147483646.9, 2147483646},
                      ToInt32Case{2147483648.0, std::numeric_limits<int32_t>::max()},
                      ToInt32Case{1e300, std::numeric_limits<int32_t>::max()},
                      ToInt32Case{-1e300, std::numeric_limits<int32_t>::min()},
                      ToInt32Case{std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<int32_t>::max()},
                      ToInt32Case{std::nan(""), 0}));

struct ValCase {
    const char* in;
    double out;
};

class ValTest : public ::testing::TestWithParam<ValCase> {};

TEST_P(ValTest, ReadsTheLeadingDecimalNumber)
{
    EXPECT_DOUBLE_EQ(Val(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ValTest,
    ::testing::Values(ValCase{"42", 42}, ValCase{"-10", -10}, ValCase{"  7 apples", 7},
                      ValCase{"3.75", 3.75}, ValCase{"-.5", -0.5}, ValCase{"1e12", 1e12},
                      ValCase{"2e", 2}, ValCase{"12abc", 12}, ValCase{"", 0}, ValCase{"abc", 0},
                      ValCase{"-", 0}, ValCase{"inf", 0}, ValCase{"nan", 0}, ValCase{"0x10", 0},
                      ValCase{"&h10", 0}, ValCase{"+5", 5}, ValCase{"40,", 40},
                      // Leading tabs are skipped like spaces; nothing else before the number is.
                      ValCase{"\t8", 8}, ValCase{" \t -3", -3}, ValCase{"\t\t", 0},
                      ValCase{"\t.5", 0.5}, ValCase{"\n5", 0}, ValCase{"- 5", 0}));

TEST(StrTest, WritesDecimalText)
{
    EXPECT_EQ(Str(int32_t{-10}), "-10");
    EXPECT_EQ(Str(int32_t{0}), "0");
    EXPECT_EQ(Str(50.0), "50");
    EXPECT_EQ(Str(-100.0), "-100");
    EXPECT_EQ(Str(2.5), "2.5");
}

TEST(StringFunctionsTest, CountCharactersNotBytes)
{
    EXPECT_EQ(Len("Abc"), 3);
    EXPECT_EQ(Len(""), 0);
    EXPECT_EQ(Len("Zürich"), 6);
    EXPECT_EQ(Left("Zürich", 2), "Zü");
    EXPECT_EQ(Left("abc", -1), "");
    EXPECT_EQ(Left("abc", 10), "abc");
    EXPECT_EQ(InStr(0, "Zürich.dat", "."), 7);
    EXPECT_EQ(InStr(0, "abc", "x"), 0);
    EXPECT_EQ(InStr(0, "xx Varnholt Data\ttrue", "Varnholt Data"), 4);
}

TEST(StringFunctionsTest, SplitsFields)
{
    EXPECT_EQ(NthField("a\tb\tc", "\t", 2), "b");
    EXPECT_EQ(NthField("a\tb", "\t", 3), "");
    EXPECT_EQ(NthField("0,40,0,", ",", 4), "");
    EXPECT_EQ(NthField("true false", " ", 1), "true");
    EXPECT_EQ(NthField("", ",", 1), "");
    EXPECT_EQ(CountFields("Create New Player,Edit Nearest Player", ","), 2);
    EXPECT_EQ(CountFields("abc", ","), 1);
    EXPECT_EQ(ReplaceAll("a\rb\rc", "\r", "^&*"), "a^&*b^&*c");
    EXPECT_EQ(ReplaceAll("x^&*y", "^&*", "\r"), "x\ry");
}

} // namespace
