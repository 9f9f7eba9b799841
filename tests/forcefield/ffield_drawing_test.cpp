#include "tests/forcefield/forcefield_fixture.h"

#include "app/Companions.h"
#include "app/frmMain.h"

#include "tests/support/largest_document.h"
#include "tests/support/temp_dir.h"

#include <string>

using fftest::anyNear;
using fftest::isDark;
using fftest::kCanvasHeight;
using fftest::kCanvasWidth;
using fftest::kWhite;
using platform::Color;
using platform::Picture;
using platform::RGB;
using testsupport::FixturePlayer;

namespace {

bool dark(Color c)
{
    return isDark(c);
}

// The outline of an arrow whose tip lies at (x, y): `down` arrows have their tail above the
// tip, the others below it.
void expectArrowAt(const Picture& pic, int x, int y, bool down, Color inside)
{
    const int tail = down ? -1 : 1;
    EXPECT_TRUE(anyNear(pic, x, y, 1, dark)) << "tip at " << x << "," << y;
    EXPECT_TRUE(anyNear(pic, x - 15, y + tail * 15, 1, dark)) << "head's left corner";
    EXPECT_TRUE(anyNear(pic, x + 15, y + tail * 15, 1, dark)) << "head's right corner";
    EXPECT_TRUE(anyNear(pic, x - 10, y + tail * 30, 1, dark)) << "shaft's left side";
    EXPECT_TRUE(anyNear(pic, x + 10, y + tail * 30, 1, dark)) << "shaft's right side";
    EXPECT_TRUE(anyNear(pic, x, y + tail * 50, 1, dark)) << "tail";
    EXPECT_EQ(pic.pixel(x, y + tail * 30), inside) << "the arrow is not filled";
    EXPECT_EQ(pic.pixel(x, y + tail * 55), inside) << "nothing beyond the tail";
    EXPECT_EQ(pic.pixel(x, y - tail * 5), kWhite) << "nothing beyond the tip";
}

// Nothing dark in the column around x, apart from the frame and the band.
bool columnIsEmpty(const Picture& pic, int x)
{
    const int bandTop = kCanvasHeight / 2 - 10;
    for (int y = 2; y < pic.height() - 3; ++y) {
        if (y >= bandTop - 1 && y <= bandTop + 21)
            continue;
        for (int dx = -16; dx <= 16; ++dx)
            if (isDark(pic.pixel(x + dx, y)))
                return false;
    }
    return true;
}

using ForceFieldDrawingTest = fftest::ForceFieldTest;

// --- One player: where its arrow stands and which way it points ---

struct ArrowCase {
    const char* name;
    int32_t position;
    int32_t importance;
    int tipY; ///< on the default canvas, 652 pixels high
    bool down;
};

class ArrowTest : public fftest::ForceFieldTest, public ::testing::WithParamInterface<ArrowCase> {};

TEST_P(ArrowTest, StandsInItsColumnWithItsTipAtTheScore)
{
    const ArrowCase& c = GetParam();
    testsupport::LoadDocument(main(), {{"Issue"}, {"P", c.position, c.importance}});
    ff().CheckBox1->setValue(false);
    ff().CheckBox2->setValue(false);
    const Picture pic = paint();
    EXPECT_EQ(ff().xstep, kCanvasWidth / 3);
    expectArrowAt(pic, ff().xstep + 10, c.tipY, c.down, kWhite);
    EXPECT_EQ(ff().posn[1], static_cast<float>(static_cast<int64_t>(c.position) * c.importance));
}

// Base lines at H / 6 = 108.7 and 5 H / 6 = 543.3; a largest score of 2000 or more is drawn
// H / 3.2 = 203.75 pixels from its base line, smaller ones at 5 units to the pixel.
INSTANTIATE_TEST_SUITE_P(
    Scores, ArrowTest,
    ::testing::Values(ArrowCase{"SmallSupporter", 10, 40, 188, true},
                      ArrowCase{"SmallOpponent", -10, 40, 463, false},
                      ArrowCase{"LargestSupporter", 50, 40, 312, true},
                      ArrowCase{"LargestOpponent", -50, 40, 339, false},
                      ArrowCase{"SupporterOfImportanceZero", 30, 0, 108, true},
                      ArrowCase{"OpponentOfImportanceZero", -30, 0, 543, false},
                      // 2.5e9 wraps to a negative Int32: the score is formed in 64 bits.
                      ArrowCase{"ScoreBeyondInt32", 50000, 50000, 312, true}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Columns, scale and what is left out ---

TEST_F(ForceFieldDrawingTest, ColumnsFollowThePlayerIndexAndUndrawnPlayersLeaveTheirsEmpty)
{
    ff().CheckBox1->setValue(false);
    ff().CheckBox2->setValue(false);
    ff().posn[3] = 1234; // left by an earlier drawing, for whoever stood at index 3 then
    const Picture pic = paint();
    EXPECT_EQ(ff().xstep, 107);
    EXPECT_FLOAT_EQ(ff().ymax, 5.0f) << "a scale below 3.0 becomes 5.0";
    expectArrowAt(pic, 117, 188, true, kWhite);
    expectArrowAt(pic, 224, 463, false, kWhite);
    EXPECT_TRUE(columnIsEmpty(pic, 331)) << "position 0";
    EXPECT_TRUE(columnIsEmpty(pic, 438)) << "unknown stance";
    EXPECT_FLOAT_EQ(ff().posn[1], 400);
    EXPECT_FLOAT_EQ(ff().posn[2], -400);
    EXPECT_FLOAT_EQ(ff().posn[3], 0) << "a player without an arrow has no score";
    EXPECT_FLOAT_EQ(ff().posn[4], 0);
}

TEST_F(ForceFieldDrawingTest, OnlyTheCentralIssueDrawsTheFrameTheBandAndItsName)
{
    testsupport::LoadDocument(main(), {{"Issue"}});
    ff().CheckBox2->setValue(false);
    const Picture pic = paint();
    EXPECT_EQ(ff().xstep, kCanvasWidth / 2);
    EXPECT_FLOAT_EQ(ff().ymax, 5.0f);
    EXPECT_TRUE(isDark(pic.pixel(0, 100))) << "frame";
    EXPECT_TRUE(isDark(pic.pixel(100, 316))) << "band's top edge";
    EXPECT_TRUE(isDark(pic.pixel(100, 335))) << "band's bottom edge";
    EXPECT_TRUE(anyNear(pic, 323, 326, 8, dark)) << "the name, centred in the band";
    EXPECT_TRUE(columnIsEmpty(pic, 100));
    EXPECT_TRUE(columnIsEmpty(pic, 323));
}

struct ColumnCase {
    double width;
    int32_t numPlayer;
    int32_t columnWidth;
};

class ColumnWidthTest : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(ColumnWidthTest, LeavesTwoColumnsSpare)
{
    EXPECT_EQ(ForceFieldColumnWidth(GetParam().width, GetParam().numPlayer),
              GetParam().columnWidth);
}

INSTANTIATE_TEST_SUITE_P(Widths, ColumnWidthTest,
                         ::testing::Values(ColumnCase{646, 17, 34}, ColumnCase{646, 0, 323},
                                           ColumnCase{646, -1, 646}, ColumnCase{36, 50, 0},
                                           ColumnCase{0, 3, 0}));

// --- Background and captions ---

TEST_F(ForceFieldDrawingTest, TheGradientRunsYellowGreenRedYellowUnderWhiteOutlines)
{
    ff().CheckBox1->setValue(false);
    const Picture pic = paint();
    EXPECT_EQ(pic.pixel(5, 1), RGB(255, 255, 0));
    EXPECT_EQ(pic.pixel(5, 163), RGB(128, 255, 0));
    EXPECT_EQ(pic.pixel(5, 300), RGB(21, 255, 0));
    EXPECT_EQ(pic.pixel(5, 489), RGB(255, 127, 0));
    EXPECT_EQ(pic.pixel(5, 600), RGB(255, 214, 0));
    EXPECT_EQ(pic.pixel(5, 326), kWhite) << "the band is filled white";
    // Player 1's shaft: its left side white, the gradient inside it.
    EXPECT_TRUE(anyNear(pic, 107, 158, 1, [](Color c) { return c == kWhite; }));
    EXPECT_EQ(pic.pixel(117, 158), pic.pixel(5, 158));
}

// The gradient's rows at the edges it meets: under the frame's top, either side of the band,
// and the canvas's last row, below the frame's bottom; the frame runs along the canvas's edges.
TEST_F(ForceFieldDrawingTest, TheGradientAndTheFrameReachTheCanvasEdges)
{
    ff().CheckBox1->setValue(false);
    const Picture pic = platform::testing::shownPixels(*ff().cGraph);
    const int32_t h = kCanvasHeight;
    const int32_t w = kCanvasWidth;
    // Row y above the middle: c = int(y * 510 / h), the colour (255 - c, 255, 0); below it:
    // c = int(y * 510 / h - 255), the colour (255, c, 0).
    EXPECT_EQ(pic.pixel(5, 1), RGB(255, 255, 0)) << "the first row";
    EXPECT_EQ(pic.pixel(5, 315), RGB(9, 255, 0)) << "the row above the band";
    EXPECT_EQ(pic.pixel(5, 336), RGB(255, 7, 0)) << "the row below the band";
    EXPECT_EQ(pic.pixel(5, h - 1), RGB(255, 254, 0)) << "the last row";
    EXPECT_EQ(pic.pixel(w - 2, h - 1), RGB(255, 254, 0));
    const Color black = RGB(0, 0, 0);
    EXPECT_EQ(pic.pixel(5, 0), black) << "the frame's top";
    EXPECT_EQ(pic.pixel(5, h - 2), black) << "the frame's bottom";
    EXPECT_EQ(pic.pixel(0, 200), black) << "the frame's left side";
    EXPECT_EQ(pic.pixel(w - 1, 200), black) << "the frame's right side";
    EXPECT_EQ(pic.pixel(5, 316), black) << "the band's top";
    EXPECT_EQ(pic.pixel(5, 335), black) << "the band's bottom";
    EXPECT_EQ(pic.pixel(5, 317), kWhite) << "inside the band";
}

TEST_F(ForceFieldDrawingTest, WithoutTheGradientTheScreenShowsAWhiteBackground)
{
    ff().CheckBox2->setValue(false); // the user unticks "Colour background"
    const Picture shown = platform::testing::shownPixels(*ff().cGraph);
    EXPECT_EQ(shown.pixel(5, 5), kWhite);
    // The paint's white fill stops a row short of the bottom: the erased canvas shows there.
    EXPECT_EQ(shown.pixel(5, fftest::kCanvasHeight - 1), kWhite);
    EXPECT_EQ(shown.pixel(fftest::kCanvasWidth / 2, fftest::kCanvasHeight - 1), kWhite);
}

TEST_F(ForceFieldDrawingTest, CaptionsAreStaggeredByIndexAndFollowTheCheckBox)
{
    ff().CheckBox2->setValue(false);
    auto hasText = [](const Picture& pic, int x, int baseline) {
        for (int y = baseline - 8; y <= baseline + 1; ++y)
            for (int dx = -25; dx <= 25; ++dx)
                if (isDark(pic.pixel(x + dx, y)))
                    return true;
        return false;
    };
    // Player 1 (1 mod 3) 80 - 12 above its tip at 188; player 2 63 + 20 below its tip at 463.
    const Picture with = paint();
    EXPECT_TRUE(hasText(with, 117, 188 - 68));
    EXPECT_TRUE(hasText(with, 224, 463 + 83));
    ff().CheckBox1->setValue(false);
    EXPECT_FALSE(ff().CaptionsOn);
    const Picture without = paint();
    EXPECT_FALSE(hasText(without, 117, 188 - 68));
    EXPECT_FALSE(hasText(without, 224, 463 + 83));
}

// --- The printed drawing, here into a picture ---

TEST_F(ForceFieldDrawingTest, ThePrintedDrawingHasNoBackgroundAndPutsScoresOfZeroBelow)
{
    // Every drawn player of importance 0: the scale is 0 and every tip lies on 5 H / 6.
    testsupport::LoadDocument(main(), {{"Issue"}, {"Up", 30, 0}, {"Down", -30, 0}});
    ff().CheckBox1->setValue(false);
    paint();
    const int32_t xstep = ff().xstep;
    const float ymax = ff().ymax;
    Picture pic(400, 600);
    ff().DrawDiagram(pic.graphics(), ForceFieldTarget::Printed, 400, 600);
    EXPECT_EQ(pic.pixel(5, 50), kWhite) << "no gradient";
    EXPECT_EQ(pic.pixel(5, 300), kWhite) << "the band is not filled";
    // Columns 400 / 4 = 100 apart; both arrows below, pointing up, outlined in black.
    expectArrowAt(pic, 110, 500, false, kWhite);
    expectArrowAt(pic, 210, 500, false, kWhite);
    EXPECT_EQ(ff().xstep, xstep) << "the page's values are working values";
    EXPECT_EQ(ff().ymax, ymax);
}

// The largest document: the first and the last player's arrows stand in their own columns,
// the last one whole on the canvas.
TEST_F(ForceFieldDrawingTest, AtTheLimitTheFirstAndLastPlayersHaveTheirArrows)
{
    testsupport::TempDir dir;
    ff().PushButton1->push(); // hidden, so that File > Open goes to the main window
    testsupport::largest::Open(main(), dir.file("largest.dat"));
    ShowForceField();
    ff().CheckBox1->setValue(false); // so many captions would run into each other
    const Picture with = paint();
    const int32_t xstep = ff().xstep;
    ASSERT_EQ(xstep, kCanvasWidth / (kPlayerLimit + 2));
    for (const int32_t i : {1, kPlayerLimit}) {
        SCOPED_TRACE("player " + std::to_string(i));
        const int x = xstep * i + 10;
        ASSERT_LT(x + 15, kCanvasWidth) << "the arrow's head lies on the canvas";
        // The same drawing without that player's arrow differs in its column and only there.
        main().Player[i].Unknown = true;
        const Picture without = paint();
        main().Player[i].Unknown = false;
        int inColumn = 0;
        int elsewhere = 0;
        for (int y = 0; y < with.height(); ++y)
            for (int px = 0; px < with.width(); ++px)
                if (with.pixel(px, y) != without.pixel(px, y))
                    ++(px >= x - 16 && px <= x + 16 ? inColumn : elsewhere);
        EXPECT_GT(inColumn, 50);
        EXPECT_EQ(elsewhere, 0);
    }
}

// At other window sizes the diagram fills the canvas as it grows or shrinks: the frame along
// its edges, the band across its middle, the columns and the base lines of the arrows from its
// width and height.
struct WindowSize {
    int32_t width;
    int32_t height;
    int32_t supporterTip; ///< y of the supporter's tip: int(h / 6 + 400 / 5)
    int32_t opponentTip;  ///< int(5 h / 6 - 400 / 5)
};

class ForceFieldSizeTest : public fftest::ForceFieldTest,
                           public ::testing::WithParamInterface<WindowSize> {};

TEST_P(ForceFieldSizeTest, TheDiagramFillsTheCanvasAtItsNewSize)
{
    const WindowSize& size = GetParam();
    ff().setSize(size.width, size.height);
    platform::testing::processEvents();
    const int32_t w = ff().cGraph->width();
    const int32_t h = ff().cGraph->height();
    ASSERT_EQ(w, size.width - 28);
    ASSERT_EQ(h, size.height - 55);
    ff().CheckBox1->setValue(false);
    ff().CheckBox2->setValue(false);
    const Picture pic = platform::testing::shownPixels(*ff().cGraph);
    const int32_t xstep = w / 6; // four players, two columns spare
    EXPECT_EQ(ff().xstep, xstep);
    expectArrowAt(pic, xstep + 10, size.supporterTip, true, kWhite);
    expectArrowAt(pic, 2 * xstep + 10, size.opponentTip, false, kWhite);
    const int32_t band = static_cast<int32_t>(h / 2.0 - 10);
    int darkInEmptyColumn = 0; // position 0: no arrow
    for (int32_t y = 2; y < h - 3; ++y)
        for (int32_t x = 3 * xstep - 6; x <= 3 * xstep + 26; ++x)
            darkInEmptyColumn += (y < band - 1 || y > band + 21) && isDark(pic.pixel(x, y));
    EXPECT_EQ(darkInEmptyColumn, 0);
    EXPECT_TRUE(isDark(pic.pixel(w / 3, band))) << "the band's top";
    EXPECT_TRUE(isDark(pic.pixel(w / 3, band + 19))) << "the band's bottom";
    EXPECT_EQ(pic.pixel(w / 3, band + 10), kWhite);
    EXPECT_TRUE(isDark(pic.pixel(w - 1, h / 3))) << "the frame's right side";
    EXPECT_TRUE(isDark(pic.pixel(w / 3, h - 2))) << "the frame's bottom";
    EXPECT_EQ(pic.pixel(w / 3, h - 1), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ForceFieldSizeTest,
                         ::testing::Values(WindowSize{900, 500, 154, 290},
                                           WindowSize{500, 800, 204, 540}),
                         [](const ::testing::TestParamInfo<WindowSize>& info) {
                             return std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.height);
                         });

} // namespace
