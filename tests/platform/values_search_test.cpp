// Searching a text from a given character: the start counts characters from 1 and is itself
// searched.

#include "platform/values.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct InStrCase {
    int32_t start;
    std::string text;
    std::string find;
    int32_t found;
};

class InStrTest : public ::testing::TestWithParam<InStrCase> {};

INSTANTIATE_TEST_SUITE_P(
    Starts, InStrTest,
    ::testing::Values(InStrCase{0, "abcabc", "a", 1}, InStrCase{1, "abcabc", "a", 1},
                      InStrCase{2, "abcabc", "a", 4}, InStrCase{4, "abcabc", "a", 4},
                      InStrCase{5, "abcabc", "a", 0}, InStrCase{3, "abcabc", "c", 3},
                      InStrCase{7, "abcabc", "c", 0}, InStrCase{-3, "abcabc", "b", 2},
                      InStrCase{3, "Züriüch", "ü", 5}, InStrCase{2, "Züriüch", "ü", 2},
                      InStrCase{1, "abc", "", 0}));

TEST_P(InStrTest, FindsTheFirstOccurrenceFromTheStart)
{
    const InStrCase& c = GetParam();
    EXPECT_EQ(platform::InStr(c.start, c.text, c.find), c.found)
        << "InStr(" << c.start << ", \"" << c.text << "\", \"" << c.find << "\")";
}

} // namespace
