// Where the force field puts each caption: above a supporter's arrow, below an opponent's,
// staggered by the player's index, each on its own baseline.

#include "tests/forcefield/forcefield_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using platform::Picture;

// The first and last rows that hold a dark pixel within the rectangle; {-1, -1} when none do.
std::pair<int, int> darkRows(const Picture& pic, int left, int top, int right, int bottom)
{
    std::pair<int, int> rows{-1, -1};
    for (int y = std::max(0, top); y <= std::min(pic.height() - 1, bottom); ++y)
        for (int x = std::max(0, left); x <= std::min(pic.width() - 1, right); ++x)
            if (fftest::isDark(pic.pixel(x, y))) {
                if (rows.first < 0)
                    rows.first = y;
                rows.second = y;
                break;
            }
    return rows;
}

// The rows the caption's text covers when drawn at this baseline, in a blank picture.
std::pair<int, int> rowsOfText(const std::string& text, int baseline)
{
    Picture pic(fftest::kCanvasWidth, fftest::kCanvasHeight);
    platform::Graphics& g = pic.graphics();
    g.setForeColor(fftest::kWhite);
    g.fillRect(0, 0, pic.width(), pic.height());
    g.setForeColor(platform::RGB(0, 0, 0));
    g.setTextSize(9);
    g.drawString(text, 100, baseline);
    return darkRows(pic, 0, 0, pic.width() - 1, pic.height() - 1);
}

struct CaptionCase {
    int32_t index;
    int baseline; ///< with every tip at 188 (above) or 463 (below)
};

class CaptionPlaceTest : public fftest::ForceFieldTest,
                         public ::testing::WithParamInterface<CaptionCase> {};

// Columns 80 pixels wide: player i's axis at x = 80 i + 10. Above: 80 - 12 (i mod 3) over the
// tip; below: 63 + 10 (i mod 3) under it.
INSTANTIATE_TEST_SUITE_P(Players, CaptionPlaceTest,
                         ::testing::Values(CaptionCase{1, 188 - 68}, CaptionCase{2, 188 - 56},
                                           CaptionCase{3, 188 - 80}, CaptionCase{4, 463 + 73},
                                           CaptionCase{5, 463 + 83}, CaptionCase{6, 463 + 63}));

TEST_P(CaptionPlaceTest, StandsOnItsOwnBaseline)
{
    testsupport::LoadDocument(main(), {{"Issue", 0, 50, 353, 271},
                                       {"Ayg", 10, 40},
                                       {"Byg", 10, 40},
                                       {"Cyg", 10, 40},
                                       {"Dyg", -10, 40},
                                       {"Eyg", -10, 40},
                                       {"Fyg", -10, 40}});
    ff().CheckBox2->setValue(false); // black on white
    const Picture pic = paint();
    const CaptionCase& c = GetParam();
    const int x = 80 * c.index + 10;
    const bool above = c.index <= 3;
    // Clear of the arrow, whose tail ends 50 pixels from its tip.
    const int top = above ? 188 - 125 : 463 + 52;
    const int bottom = above ? 188 - 52 : 463 + 125;
    const std::string name = main().Player[c.index].Name;
    EXPECT_EQ(darkRows(pic, x - 30, top, x + 30, bottom), rowsOfText(name, c.baseline)) << name;
}

} // namespace
