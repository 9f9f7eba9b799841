#include "spider/SpiderDrawing.h"

#include "tests/support/app_fixture.h"
#include "tests/support/largest_document.h"
#include "tests/support/temp_dir.h"

#include "platform/graphics.h"
#include "platform/picture.h"
#include "platform/testing.h"
#include "platform/values.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <utility>
#include <vector>

using platform::Color;
using platform::Picture;
using platform::RGB;
using platform::ToInt32;
using testsupport::FixturePlayer;

namespace {

constexpr Color kWhite = RGB(255, 255, 255);
constexpr Color kBlack = RGB(0, 0, 0);
constexpr Color kRed = RGB(255, 0, 0);
constexpr Color kYellow = RGB(255, 255, 0);
constexpr Color kGreen = RGB(0, 255, 0);
constexpr Color kGrey = RGB(170, 170, 170);

// --- The position colour ---

struct ColourCase {
    double v;
    Color expected;
};

class PositionColourTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(PositionColourTest, RunsFromRedThroughYellowToGreen)
{
    EXPECT_EQ(PositionColour(GetParam().v), GetParam().expected) << GetParam().v;
}

// The half values fall just above 127.5 and truncate to 127; beyond the range the components
// are limited, and a huge value saturates instead of wrapping.
INSTANTIATE_TEST_SUITE_P(Table, PositionColourTest,
                         ::testing::Values(ColourCase{-100, kRed},
                                           ColourCase{-50, RGB(255, 127, 0)},
                                           ColourCase{0, kYellow}, ColourCase{50, RGB(127, 255, 0)},
                                           ColourCase{100, kGreen}, ColourCase{150, kGreen},
                                           ColourCase{-150, kRed}, ColourCase{1e12, kGreen},
                                           ColourCase{-1e12, kRed}));

// --- Pen sizes of lines and links ---

struct PenCase {
    int32_t value;
    int32_t screen;
    int32_t page; // also the picture's
};

class LinePenSizeTest : public ::testing::TestWithParam<PenCase> {};

TEST_P(LinePenSizeTest, ATenthAtLeastOneAndAtMostTenOnScreen)
{
    const PenCase& c = GetParam();
    EXPECT_EQ(LinePenSize(c.value, SpiderTarget::Screen), c.screen) << c.value;
    EXPECT_EQ(LinePenSize(c.value, SpiderTarget::Page), c.page) << c.value;
    EXPECT_EQ(LinePenSize(c.value, SpiderTarget::Picture), c.page) << c.value;
}

INSTANTIATE_TEST_SUITE_P(Table, LinePenSizeTest,
                         ::testing::Values(PenCase{0, 1, 1}, PenCase{-30, 1, 1}, PenCase{9, 1, 1},
                                           PenCase{10, 1, 1}, PenCase{55, 5, 5},
                                           PenCase{100, 10, 10}, PenCase{150, 10, 15},
                                           PenCase{250, 10, 25}));

// --- The importance-weighted average ---

struct AverageCase {
    const char* name;
    std::vector<FixturePlayer> players; // the first is the central issue
    int32_t expected;
};

class AverageTest : public testsupport::AppTest,
                    public ::testing::WithParamInterface<AverageCase> {};

TEST_P(AverageTest, WeighsKnownLinkedPlayersByImportance)
{
    testsupport::LoadDocument(main(), GetParam().players);
    EXPECT_EQ(ImportanceWeightedAverage(main()), GetParam().expected);
}

FixturePlayer issue()
{
    return FixturePlayer("Issue");
}
FixturePlayer player(int32_t pos, int32_t imp, bool linked = true, bool unknown = false)
{
    return FixturePlayer("P", pos, imp, 100, 100, {}, linked, unknown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AverageTest,
    ::testing::Values(
        AverageCase{"TwoPlayers", {issue(), player(100, 30), player(-100, 10)}, 50},
        AverageCase{"OnlyTheCentralIssue", {issue()}, 0},
        AverageCase{"AllOfImportanceZero", {issue(), player(50, 0), player(-100, 0)}, 0},
        // Weights that add up to 0 under a non-zero weighted sum: no quotient, so 0.
        AverageCase{"WeightsCancelOut", {issue(), player(50, 10), player(-50, -10)}, 0},
        AverageCase{
            "UnknownAndUnlinkedLeftOut",
            {issue(), player(100, 10), player(-100, 50, true, true), player(-100, 50, false)},
            100},
        AverageCase{"NoKnownLinkedPlayer",
                    {issue(), player(100, 10, false), player(-100, 50, true, true)},
                    0},
        // Products beyond the Int32 range must not wrap.
        AverageCase{"LargeValues",
                    {issue(), player(2000000000, 100), player(2000000000, 100)},
                    2000000000}),
    [](const ::testing::TestParamInfo<AverageCase>& info) { return info.param.name; });

// --- The legend canvas ---

struct MarkerCase {
    int32_t average;
    int32_t markerX;
    const char* text;
};

class LegendMarkerTest : public testsupport::AppTest,
                         public ::testing::WithParamInterface<MarkerCase> {};

TEST_P(LegendMarkerTest, StandsAtTheLimitedMean)
{
    const MarkerCase& c = GetParam();
    main().AverageColour = c.average;
    Picture pic(220, 16);
    DrawColourLegend(main(), pic.graphics());
    const int32_t x = c.markerX;
    // The vertical stroke runs one row below the frame, where the colour columns are.
    EXPECT_EQ(pic.pixel(x, 14), kBlack);
    EXPECT_NE(pic.pixel(x + 1, 14), kBlack);
    if (x > 0) {
        EXPECT_NE(pic.pixel(x - 1, 14), kBlack);
    }
    // The horizontal stroke reaches 7 pixels either side.
    EXPECT_EQ(pic.pixel(x + 7, 7), kBlack);
    EXPECT_NE(pic.pixel(x + 8, 7), kBlack);
    EXPECT_EQ(main().stSwing->text(), c.text);
    EXPECT_EQ(main().AverageColour, c.average) << "the legend only limits what it shows";
}

INSTANTIATE_TEST_SUITE_P(Table, LegendMarkerTest,
                         ::testing::Values(MarkerCase{0, 100, "0"}, MarkerCase{50, 150, "50"},
                                           MarkerCase{-100, 0, "-100"}, MarkerCase{250, 200, "100"},
                                           MarkerCase{-400, 0, "-100"}));

// --- Painting a document ---

class SpiderPaintTest : public testsupport::AppTest {
protected:
    // The central issue at (300, 280); a player level with it on the left, so that its line
    // runs straight across; one player overlapping the central issue's box.
    void loadFixture()
    {
        testsupport::LoadDocument(main(),
                                  {
                                      FixturePlayer("Issue", 0, 50, 300, 280),
                                      FixturePlayer("Foe", -100, 50, 20, 280),
                                      FixturePlayer("Friend", 100, 100, 500, 80),
                                      FixturePlayer("Doubt", 100, 50, 500, 480, {}, true, true),
                                      FixturePlayer("Over", 100, 50, 320, 290),
                                  });
    }

    // Paints on a canvas of the design size, where model units are pixels.
    Picture paint(SpiderTarget target, int32_t W = 756, int32_t H = 582)
    {
        Picture pic(W, H);
        DrawSpiderPlot(main(), pic.graphics(), target, W, H);
        return pic;
    }

    static int32_t measure(const std::string& text, double size, bool bold, double factor = 1)
    {
        Picture scratch(10, 10);
        scratch.graphics().setTextSize(size);
        scratch.graphics().setBold(bold);
        return ToInt32(scratch.graphics().stringWidth(text) * factor + 20);
    }
};

TEST_F(SpiderPaintTest, FillsEachBoxWithItsPlayersColour)
{
    loadFixture();
    const Picture pic = paint(SpiderTarget::Screen);
    // Left of each box's text, half-way down.
    EXPECT_EQ(pic.pixel(24, 295), kRed);
    EXPECT_EQ(pic.pixel(504, 95), kGreen);
    EXPECT_EQ(pic.pixel(504, 495), kGrey);
    EXPECT_EQ(pic.pixel(304, 288), kYellow);
    EXPECT_EQ(pic.pixel(700, 570), kWhite);
}

TEST_F(SpiderPaintTest, TheCentralIssueLiesOnTopOfAnOverlappingBox)
{
    loadFixture();
    const Picture pic = paint(SpiderTarget::Screen);
    EXPECT_EQ(pic.pixel(322, 307), kYellow) << "inside both boxes";
    EXPECT_EQ(pic.pixel(322, 315), kGreen) << "inside the overlapping player's box only";
}

TEST_F(SpiderPaintTest, ALineIsAsThickAsATenthOfTheImportance)
{
    loadFixture();
    const Picture pic = paint(SpiderTarget::Screen);
    // Importance 50: a 5-pixel pen hanging below the centres' row, 295.
    EXPECT_EQ(pic.pixel(200, 294), kWhite);
    for (int32_t y = 295; y < 300; ++y)
        EXPECT_EQ(pic.pixel(200, y), kBlack) << y;
    EXPECT_EQ(pic.pixel(200, 300), kWhite);
}

// A link is drawn from a strength of 1 on, a tenth of its strength thick and at least one
// pixel; only the screen limits the pen to ten pixels. A strength of 0 or below is no link.
struct LinkCase {
    const char* name;
    int32_t strength;
    SpiderTarget target;
    int32_t thickness; ///< 0: no line
};

class LinkThicknessTest : public SpiderPaintTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(LinkThicknessTest, OnlyTheScreenLimitsThePen)
{
    const LinkCase& c = GetParam();
    testsupport::LoadDocument(main(), {FixturePlayer("Issue", 0, 50, 600, 500),
                                       FixturePlayer("A", 0, 50, 20, 100, {}, false),
                                       FixturePlayer("B", 0, 50, 400, 100, {}, false)});
    main().Links[1][2] = main().Links[2][1] = c.strength;
    const Picture pic = paint(c.target);
    const int32_t y = main().Player[1].ycentre;
    ASSERT_EQ(y, main().Player[2].ycentre);
    EXPECT_EQ(pic.pixel(200, y - 1), kWhite);
    for (int32_t dy = 0; dy < c.thickness; ++dy)
        EXPECT_EQ(pic.pixel(200, y + dy), kBlack) << dy;
    EXPECT_EQ(pic.pixel(200, y + c.thickness), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Strengths, LinkThicknessTest,
                         ::testing::Values(LinkCase{"ScreenAt150", 150, SpiderTarget::Screen, 10},
                                           LinkCase{"PageAt150", 150, SpiderTarget::Page, 15},
                                           LinkCase{"PictureAt150", 150, SpiderTarget::Picture, 15},
                                           LinkCase{"ScreenAt1", 1, SpiderTarget::Screen, 1},
                                           LinkCase{"PageAt1", 1, SpiderTarget::Page, 1},
                                           LinkCase{"ScreenAt0", 0, SpiderTarget::Screen, 0},
                                           LinkCase{"PictureAtMinus5", -5, SpiderTarget::Picture,
                                                    0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SpiderPaintTest, ADiagonalLinkSweepsTheSquarePen)
{
    testsupport::LoadDocument(main(), {FixturePlayer("Issue", 0, 50, 600, 20),
                                       FixturePlayer("A", 0, 50, 20, 550, {}, false),
                                       FixturePlayer("B", 0, 50, 200, 550, {}, false)});
    main().Player[1].xcentre = main().Player[1].ycentre = 100;
    main().Player[2].xcentre = main().Player[2].ycentre = 400;
    main().Links[1][2] = main().Links[2][1] = 100;
    const Picture pic = paint(SpiderTarget::Screen);
    // A 10 by 10 pen drawn at 45 degrees covers twice its size down a column.
    int32_t black = 0;
    for (int32_t y = 200; y < 320; ++y)
        black += pic.pixel(250, y) == kBlack ? 1 : 0;
    EXPECT_EQ(black, 20);
    EXPECT_EQ(pic.pixel(250, 240), kBlack);
    EXPECT_EQ(pic.pixel(250, 259), kBlack);
}

TEST_F(SpiderPaintTest, PlayersFarOutsideTheModelSpaceAreDrawnWithoutOverflow)
{
    // A data file's corners and centres are not checked: the mapped points and the text and
    // pen offsets added to them must stay within Int32 (the sanitizer build checks).
    constexpr int32_t kMax = 2147483647;
    testsupport::LoadDocument(main(), {FixturePlayer("Issue", 0, 50, 300, 280),
                                       FixturePlayer("Far", 100, 100, kMax, kMax),
                                       FixturePlayer("Near", 100, 100, -kMax - 1, -kMax - 1)});
    main().Player[1].xcentre = main().Player[1].ycentre = kMax;
    main().Links[1][2] = main().Links[2][1] = 100;
    for (SpiderTarget target : {SpiderTarget::Screen, SpiderTarget::Page, SpiderTarget::Picture}) {
        const Picture pic = paint(target, 1512, 1164);
        const int32_t f = target == SpiderTarget::Screen ? 2 : 1; // only the screen is mapped
        EXPECT_EQ(pic.pixel(300 * f + 4, 280 * f + 8), kYellow) << static_cast<int>(target);
    }
}

TEST_F(SpiderPaintTest, WritesBackTheMeasuredWidth)
{
    loadFixture();
    main().Player[1].Subtitle = "A subtitle wider than its name";
    EXPECT_EQ(main().Player[2].Width, 7 * 6 + 20) << "the box-size rule's estimate";
    paint(SpiderTarget::Screen);
    EXPECT_EQ(main().Player[1].Width, measure("A subtitle wider than its name", 9, false));
    EXPECT_EQ(main().Player[2].Width, measure("Friend", 12, false));
    EXPECT_EQ(main().Player[0].Width, measure("Issue", 12, true, 1.05));
}

TEST_F(SpiderPaintTest, ANameOfMillionsOfCharactersGivesItsWholeWidth)
{
    // Such a name is laid out only as far as it can be seen; how long a paint of it takes is
    // the benchmark's to measure.
    loadFixture();
    main().Player[2].Name = std::string(2000000, 'a');
    paint(SpiderTarget::Screen);
    paint(SpiderTarget::Page);
    // The box is as wide as the whole name, as with a text that fits: no kerning between a's.
    Picture scratch(10, 10);
    scratch.graphics().setTextSize(12);
    EXPECT_EQ(main().Player[2].Width, ToInt32(2000000 * scratch.graphics().stringWidth("a") + 20));
    EXPECT_EQ(main().Player[2].Name.size(), 2000000u);
}

struct CentralWidthCase {
    SpiderTarget target;
    bool boldName;     // bold and the 1.05 allowance
    bool boldSubtitle; // the subtitle measured in bold too
};

class CentralIssueWidthTest : public SpiderPaintTest,
                              public ::testing::WithParamInterface<CentralWidthCase> {};

TEST_P(CentralIssueWidthTest, FollowsTheTargetsMeasure)
{
    const CentralWidthCase& c = GetParam();
    loadFixture();
    paint(c.target);
    EXPECT_EQ(main().Player[0].Width, measure("Issue", 12, c.boldName, c.boldName ? 1.05 : 1));

    const std::string subtitle = "A subtitle much wider than the name";
    main().Player[0].Subtitle = subtitle;
    paint(c.target);
    EXPECT_EQ(main().Player[0].Width, measure(subtitle, 9, c.boldSubtitle));
}

INSTANTIATE_TEST_SUITE_P(Targets, CentralIssueWidthTest,
                         ::testing::Values(CentralWidthCase{SpiderTarget::Screen, true, false},
                                           CentralWidthCase{SpiderTarget::Page, true, true},
                                           CentralWidthCase{SpiderTarget::Picture, false, false}));

TEST_F(SpiderPaintTest, OneLinkedPlayerGivesAnAverageOnlyOffTheScreen)
{
    testsupport::LoadDocument(main(), {FixturePlayer("Issue", -100, 50, 300, 280),
                                       FixturePlayer("One", 50, 40, 20, 100)});
    main().AveColour = true;
    main().AverageColour = 77;
    Picture screen = paint(SpiderTarget::Screen);
    EXPECT_EQ(main().AverageColour, 0);
    EXPECT_EQ(screen.pixel(304, 288), kYellow);

    Picture page = paint(SpiderTarget::Page);
    EXPECT_EQ(main().AverageColour, 50);
    EXPECT_EQ(page.pixel(304, 288), PositionColour(50));
}

TEST_F(SpiderPaintTest, WithoutAverageColourTheCentralIssueKeepsItsOwnUnlimitedPosition)
{
    testsupport::LoadDocument(main(), {FixturePlayer("Issue", -150, 50, 300, 280),
                                       FixturePlayer("A", 100, 40, 20, 100),
                                       FixturePlayer("B", 100, 40, 20, 400)});
    main().AveColour = false;
    main().AverageColour = 77;
    const Picture page = paint(SpiderTarget::Page);
    EXPECT_EQ(page.pixel(304, 288), kRed);
    EXPECT_EQ(main().AverageColour, 77) << "only worked out for the fill";
    paint(SpiderTarget::Screen);
    EXPECT_EQ(main().AverageColour, 100);
}

TEST_F(SpiderPaintTest, OnlyTheScreenMapsAndEveryBoxIsAsWideAsItsText)
{
    testsupport::LoadDocument(
        main(), {FixturePlayer("Issue", 0, 50, 300, 280), FixturePlayer("Foe", -100, 50, 20, 100)});
    // Twice the design size: the screen maps the corner to twice its model value.
    const Picture screen = paint(SpiderTarget::Screen, 1512, 1164);
    const int32_t width = main().Player[1].Width;
    EXPECT_EQ(screen.pixel(40 + width - 4, 215), kRed);
    EXPECT_EQ(screen.pixel(40 + width + 4, 215), kWhite) << "box of its text's width";

    // The page is drawn in model units, whatever the surface: the printed page scales it.
    main().ScaleFactorx = main().ScaleFactorY = 0.5f;
    const Picture page = paint(SpiderTarget::Page, 1512, 1164);
    EXPECT_EQ(main().Player[1].Width, width);
    EXPECT_EQ(page.pixel(20 + width - 4, 115), kRed);
    EXPECT_EQ(page.pixel(20 + width + 4, 115), kWhite);
    EXPECT_FLOAT_EQ(main().ScaleFactorx, 0.5f) << "the screen's mapping stays";
}

// How many pixels of the fill colour lie outside the outline of the box at (x, y), w by h:
// those reached from around the box without crossing a black pixel.
int fillOutsideOutline(const Picture& pic, int32_t x, int32_t y, int32_t w, int32_t h, Color fill)
{
    const int32_t x0 = std::max(0, x - 3), y0 = std::max(0, y - 3);
    const int32_t x1 = std::min(pic.width(), x + w + 3), y1 = std::min(pic.height(), y + h + 3);
    std::vector<bool> seen(static_cast<size_t>((x1 - x0) * (y1 - y0)));
    std::vector<std::pair<int32_t, int32_t>> todo;
    auto visit = [&](int32_t px, int32_t py) {
        if (px < x0 || px >= x1 || py < y0 || py >= y1)
            return;
        const size_t i = static_cast<size_t>((py - y0) * (x1 - x0) + (px - x0));
        if (seen[i] || pic.pixel(px, py) == kBlack)
            return;
        seen[i] = true;
        todo.emplace_back(px, py);
    };
    for (int32_t px = x0; px < x1; ++px) {
        visit(px, y0);
        visit(px, y1 - 1);
    }
    for (int32_t py = y0; py < y1; ++py) {
        visit(x0, py);
        visit(x1 - 1, py);
    }
    int outside = 0;
    while (!todo.empty()) {
        const auto [px, py] = todo.back();
        todo.pop_back();
        if (pic.pixel(px, py) == fill)
            ++outside;
        visit(px + 1, py);
        visit(px - 1, py);
        visit(px, py + 1);
        visit(px, py - 1);
    }
    return outside;
}

struct BoxEdgeCase {
    SpiderTarget target;
    int32_t W, H;  // the surface, and the canvas or page the mapping follows
    bool onScreen; // drawn by the main window's canvas rather than into a picture
};

class BoxEdgeTest : public SpiderPaintTest, public ::testing::WithParamInterface<BoxEdgeCase> {};

TEST_P(BoxEdgeTest, NoFillShowsOutsideABoxsOutline)
{
    // Boxes of both heights, of several widths, at odd and even corners; no lines, so that
    // only the outlines part the inside of a box from the outside.
    testsupport::LoadDocument(main(),
                              {
                                  FixturePlayer("Issue", 0, 50, 300, 280, "Subtitle"),
                                  FixturePlayer("Foe", -100, 50, 21, 41, {}, false),
                                  FixturePlayer("A friend", 100, 100, 500, 80, {}, false),
                                  FixturePlayer("Doubt", 100, 50, 501, 481, "Who?", false, true),
                                  FixturePlayer("Half", 50, 50, 120, 400, "way", false),
                              });
    const BoxEdgeCase& c = GetParam();
    const Picture pic =
        c.onScreen ? platform::testing::shownPixels(*main().Canvas1) : paint(c.target, c.W, c.H);
    const bool mapped = c.target == SpiderTarget::Screen;
    const Color fills[] = {kYellow, kRed, kGreen, kGrey, PositionColour(50)};
    for (int32_t i = 0; i <= main().NumPlayer; ++i) {
        const Player& p = main().Player[i];
        const int32_t x = mapped ? main().BoxOnCanvas(p).left : p.x;
        const int32_t y = mapped ? main().BoxOnCanvas(p).top : p.y;
        const int32_t w = p.Width;
        const int32_t h = p.Height;
        ASSERT_EQ(pic.pixel(x + w / 2, y + 2), fills[i]) << p.Name << ": the box lies there";
        EXPECT_EQ(fillOutsideOutline(pic, x, y, w, h, fills[i]), 0) << p.Name;
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, BoxEdgeTest,
                         ::testing::Values(BoxEdgeCase{SpiderTarget::Screen, 0, 0, true},
                                           BoxEdgeCase{SpiderTarget::Screen, 756, 582, false},
                                           BoxEdgeCase{SpiderTarget::Screen, 1512, 1164, false},
                                           BoxEdgeCase{SpiderTarget::Page, 772, 624, false},
                                           BoxEdgeCase{SpiderTarget::Picture, 772, 624, false}));

TEST_F(SpiderPaintTest, WithoutADocumentTheScreenIsOnlyClearedAndThePictureUntouched)
{
    main().NumPlayer = -1;
    main().AverageColour = 42;
    Picture pic(772, 624);
    pic.graphics().setForeColor(kRed);
    pic.graphics().fillRect(0, 0, 772, 624);
    DrawSpiderPlot(main(), pic.graphics(), SpiderTarget::Picture, 772, 624);
    EXPECT_EQ(pic.pixel(10, 10), kRed) << "the picture has no background pass";
    DrawSpiderPlot(main(), pic.graphics(), SpiderTarget::Screen, 772, 624);
    EXPECT_EQ(pic.pixel(10, 10), kWhite);
    EXPECT_EQ(pic.pixel(771, 623), kWhite);
    EXPECT_EQ(main().AverageColour, 42);
}

TEST(PageLegendTest, DrawsTheBarAndCaptionAlongTheBottom)
{
    Picture pic(800, 300);
    DrawPageLegend(pic.graphics());
    const int32_t h = 300;
    EXPECT_EQ(pic.pixel(516, h - 8), PositionColour(-99));
    EXPECT_EQ(pic.pixel(615, h - 8), kYellow);
    EXPECT_EQ(pic.pixel(715, h - 8), kGreen) << "the block is one column wider than its frame";
    EXPECT_EQ(pic.pixel(600, h - 1), PositionColour(-15)) << "and one row lower";
    EXPECT_EQ(pic.pixel(600, h - 15), kBlack);
    EXPECT_EQ(pic.pixel(716, h - 8), kWhite);
    int dark = 0;
    for (int32_t x = 5; x < 400; ++x)
        for (int32_t y = h - 12; y < h; ++y)
            dark += pic.pixel(x, y).r < 128 ? 1 : 0;
    EXPECT_GT(dark, 100) << "the caption";
    EXPECT_EQ(pic.pixel(400, h - 40), kWhite);
}

// The largest document: the first and the last player's boxes are drawn, in their colours,
// with their lines; the last box lies over every box drawn before it.
TEST_F(SpiderPaintTest, AtTheLimitTheFirstAndLastPlayersHaveTheirBoxes)
{
    testsupport::TempDir dir;
    testsupport::largest::Open(main(), dir.file("largest.dat"));
    const Picture pic = paint(SpiderTarget::Screen);
    for (const int32_t i : {1, kPlayerLimit}) {
        const Player& p = main().Player[i];
        ASSERT_FALSE(p.Unknown);
        EXPECT_EQ(pic.pixel(p.x + 5, p.y + 10), PositionColour(p.Position)) << "player " << i;
    }
    // Only the central issue is drawn after the last player: taking the last player's line and
    // box away changes the drawing.
    const Picture full = paint(SpiderTarget::Screen);
    main().NumPlayer = kPlayerLimit - 1;
    const Picture fewer = paint(SpiderTarget::Screen);
    main().NumPlayer = kPlayerLimit;
    const Player& last = main().Player[kPlayerLimit];
    int differ = 0;
    for (int32_t y = last.y; y < last.y + last.Height; ++y)
        for (int32_t x = last.x; x < std::min(last.x + last.Width, full.width()); ++x)
            differ += full.pixel(x, y) != fewer.pixel(x, y);
    EXPECT_GT(differ, 100);
}

} // namespace
