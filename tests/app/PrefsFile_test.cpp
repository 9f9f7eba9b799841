#include "app/PrefsFile.h"

#include <gtest/gtest.h>

namespace {

struct PrefsCase {
    const char* name;
    std::string text;
    std::string recorded; ///< "" for the user's home folder
};

class PrefsFileTest : public ::testing::TestWithParam<PrefsCase> {};

INSTANTIATE_TEST_SUITE_P(
    Texts, PrefsFileTest,
    ::testing::Values(PrefsCase{"AsWritten", "?\n/data/budget.dat\n", "/data/budget.dat"},
                      PrefsCase{"OtherLineEndsAndMoreLines", "?\r\n/data/budget.dat\r\nmore\r\n",
                                "/data/budget.dat"},
                      PrefsCase{"NoFinalLineEnd", "x\r/data/a b.dat", "/data/a b.dat"},
                      PrefsCase{"Latin1", "?\n/data/caf\xe9.dat\n", "/data/caf\xc3\xa9.dat"},
                      // A break of another kind than the first line's end is part of line
                      // 2, and a path with a break would not stay whole on its line.
                      PrefsCase{"CarriageReturnInPath", "?\n/data/a\rb.dat\n", ""},
                      PrefsCase{"CarriageReturnEndingThePath", "?\n/data/a.dat\r", ""},
                      PrefsCase{"LineFeedInPath", "?\r/data/a\nb.dat\r", ""},
                      PrefsCase{"EmptySecondLine", "?\n\n", ""},
                      PrefsCase{"RelativePath", "?\nbudget.dat\n", ""},
                      PrefsCase{"OneLineOnly", "?\n", ""}, PrefsCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(PrefsFileTest, LineTwoNamesTheRecordedItemAndIsWrittenBack)
{
    const PrefsCase& c = GetParam();
    const platform::File expected =
        c.recorded.empty() ? platform::File() : platform::File(c.recorded);
    const platform::File recorded = ReadPrefsFile(c.text);
    EXPECT_EQ(recorded, expected);
    EXPECT_EQ(WritePrefsFile(recorded.absolutePath()), "?\n" + expected.absolutePath() + "\n");
}

} // namespace
