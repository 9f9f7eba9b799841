#include "graph/graph.h"

#include "tests/graph/graph_fixture.h"
#include "tests/support/largest_document.h"
#include "tests/support/temp_dir.h"

#include "platform/picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

using graphtest::kBlack;
using graphtest::kH;
using graphtest::kW;
using graphtest::kWhite;
using platform::Picture;
using platform::RGB;
using testsupport::FixturePlayer;

const GraphMapping kScreen = GraphMapping::screen(kW, kH);

// Player i's dot corner on the screen for the values it is drawn at.
std::pair<int, int> screenDot(int32_t position, int32_t importance)
{
    return {kScreen.plotx(position) - 2, kScreen.ploty(importance) - 2};
}

struct DotCase {
    const char* name;
    int32_t position;
    int32_t importance;
    int32_t drawnPosition; ///< where the screen puts it: at the nearer end of the axis
    int32_t drawnImportance;
};

class DotTest : public graphtest::GraphTest, public ::testing::WithParamInterface<DotCase> {};

TEST_P(DotTest, SitsAtItsLimitedValuesAndIsRecordedForThePress)
{
    const DotCase& c = GetParam();
    graph& w = openGraph({{"Issue"}, {"A", c.position, c.importance}});
    w.CaptionsOn = false;
    w.ColourBkgd = false;
    const Picture pic = paint(w);
    const auto [x, y] = screenDot(c.drawnPosition, c.drawnImportance);
    EXPECT_EQ(w.xplot[1], x);
    EXPECT_EQ(w.yplot[1], y);
    EXPECT_EQ(darkPixels(pic, x, y, x + 3, y + 3), 16) << "a black 4 by 4 dot";
    EXPECT_EQ(main().Player[1].Position, c.position) << "the stored values stay";
    EXPECT_EQ(main().Player[1].Importance, c.importance);

    // On the coloured background the dot is white.
    w.ColourBkgd = true;
    const Picture coloured = paint(w);
    EXPECT_EQ(coloured.pixel(x + 1, y + 1), kWhite);
    EXPECT_EQ(coloured.pixel(x + 2, y + 2), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Values, DotTest,
                         ::testing::Values(DotCase{"WithinTheAxes", 40, 80, 40, 80},
                                           DotCase{"RightOfAndBelowTheAxes", 130, -20, 100, 0},
                                           DotCase{"LeftOfAndAboveTheAxes", -150, 120, -100, 100},
                                           DotCase{"AtTheInt32Bounds",
                                                   std::numeric_limits<int32_t>::max(),
                                                   std::numeric_limits<int32_t>::min(), 100, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

class GraphDrawingTest : public graphtest::GraphTest {};

TEST_F(GraphDrawingTest, TheBackgroundRunsFromRedThroughYellowToGreenWhenSwitchedOn)
{
    graph& w = openGraph({{"Issue"}});
    ASSERT_TRUE(w.ColourBkgd);
    const Picture pic = paint(w);
    // c = int((x - W / 2) * 200 / W); the colour (255 - 2c, 255 + 2c, 0), limited to 255.
    EXPECT_EQ(pic.pixel(50, 5), RGB(255, 85, 0)) << "c = -85";
    EXPECT_EQ(pic.pixel(338, 5), RGB(255, 255, 0)) << "c = 0";
    EXPECT_EQ(pic.pixel(600, 5), RGB(101, 255, 0)) << "c = 77";
    EXPECT_EQ(pic.pixel(kW - 1, 5), RGB(57, 255, 0)) << "c = 99";

    w.ColourBkgd = false;
    const Picture plain = paint(w);
    EXPECT_EQ(plain.pixel(50, 5), kWhite);
    EXPECT_EQ(plain.pixel(600, 5), kWhite);
}

// Both axes run to the ends of their scales: a tick at every 20 from -100 to +100 across and
// from 0 to 100 up, with the outermost numbers; the background fills the canvas's first
// column and its last row, which the frame leaves free.
TEST_F(GraphDrawingTest, TheAxesRunToTheEndsOfTheirScalesAndTheBackgroundToTheCanvasEdges)
{
    graph& w = openGraph({{"Issue"}});
    const Picture drawn = printed(w, kScreen);
    const int32_t y50 = kScreen.ploty(50);
    const int32_t x0 = kScreen.plotx(0);
    for (int32_t v = -100; v <= 100; v += 20) {
        // Below the axis, where only the tick is drawn.
        EXPECT_EQ(darkPixels(drawn, kScreen.plotx(v), y50 + 1, kScreen.plotx(v), y50 + 2), 2)
            << "the tick of " << v;
    }
    for (int32_t v = 0; v <= 100; v += 20)
        EXPECT_EQ(darkPixels(drawn, x0 + 1, kScreen.ploty(v), x0 + 2, kScreen.ploty(v)), 2)
            << "the tick of " << v;
    EXPECT_GT(darkPixels(drawn, kScreen.plotx(100) - 7, y50 + 3, kScreen.plotx(100) + 12, y50 + 12),
              10)
        << "the number 100 under the axis's right end";
    EXPECT_GT(darkPixels(drawn, x0 + 5, kScreen.ploty(0) - 6, x0 + 12, kScreen.ploty(0) + 3), 5)
        << "the number 0 at the foot of the importance axis";

    const Picture shown = platform::testing::shownPixels(*w.cGraph);
    EXPECT_EQ(shown.pixel(1, 5), RGB(255, 57, 0)) << "the first column: c = -99";
    EXPECT_EQ(shown.pixel(50, kH - 1), RGB(255, 85, 0)) << "the last row";
    EXPECT_EQ(shown.pixel(kW - 1, kH - 1), RGB(57, 255, 0)) << "the last row's last column";
    EXPECT_EQ(shown.pixel(50, kH - 2), kBlack) << "the frame's bottom";
    EXPECT_EQ(shown.pixel(0, 5), kBlack) << "the frame's left side";
}

TEST_F(GraphDrawingTest, APlayerOfUnknownStanceHasNoDotAndKeepsItsRecordedCorner)
{
    graph& w = openGraph({{"Issue"}, {"Hidden", 40, 80, 100, 100, "", true, true}});
    w.ColourBkgd = false;
    w.xplot[1] = 7;
    w.yplot[1] = 9;
    const Picture pic = paint(w);
    const auto [x, y] = screenDot(40, 80);
    EXPECT_EQ(darkPixels(pic, x, y - 10, x + 60, y + 12), 0) << "neither dot nor caption";
    EXPECT_EQ(w.xplot[1], 7);
    EXPECT_EQ(w.yplot[1], 9);
}

TEST_F(GraphDrawingTest, NoDocumentAndOnlyTheCentralIssueDrawNoDot)
{
    graph& w = openGraph({{"Issue", 40, 80}});
    w.ColourBkgd = false;
    const auto [x, y] = screenDot(40, 80);
    EXPECT_EQ(darkPixels(paint(w), x, y, x + 3, y + 3), 0) << "the central issue is not drawn";
    main().NumPlayer = -1;
    const Picture pic = paint(w);
    EXPECT_EQ(pic.pixel(kScreen.plotx(0), kScreen.ploty(50)), RGB(50, 50, 100)) << "the axes";
}

// --- Captions: beside the dot, or 10 pixels lower when a later player's would collide ---

class CaptionTest : public graphtest::GraphTest {
protected:
    void SetUp() override
    {
        GraphTest::SetUp();
        mDot = screenDot(40, 80);
    }

    // Ink of a caption with its baseline at the dot's top, and of one 10 pixels lower, from
    // the caption's left edge (4 right of the dot) up to `right` pixels further.
    int atDot(const Picture& pic, int from, int right) const
    {
        return darkPixels(pic, mDot.first + 4 + from, mDot.second - 9, mDot.first + 4 + right,
                          mDot.second);
    }
    int shifted(const Picture& pic, int from, int right) const
    {
        return darkPixels(pic, mDot.first + 4 + from, mDot.second + 4, mDot.first + 4 + right,
                          mDot.second + 10);
    }

    std::pair<int, int> mDot;
};

TEST_F(CaptionTest, ALoneCaptionStandsBesideItsDotAndGoesWithTheSwitch)
{
    graph& w = openGraph({{"Issue"}, {"HHH", 40, 80}});
    w.ColourBkgd = false;
    const Picture pic = paint(w);
    EXPECT_GT(atDot(pic, 0, 30), 0);
    EXPECT_EQ(shifted(pic, 0, 30), 0);

    w.CheckBox1->setValue(false);
    EXPECT_FALSE(w.CaptionsOn);
    const Picture none = paint(w);
    EXPECT_EQ(atDot(none, 0, 30), 0);
}

TEST_F(CaptionTest, OfTwoPlayersAtOnePointTheLowerIndexMovesDown)
{
    graph& w = openGraph({{"Issue"}, {"HHHHHHHHHHHH", 40, 80}, {"H", 40, 80}});
    w.ColourBkgd = false;
    const Picture pic = paint(w);
    EXPECT_GT(shifted(pic, 30, 70), 0) << "the long name of player 1, moved down";
    EXPECT_GT(atDot(pic, 0, 8), 0) << "the short name of player 2, at the dot";
    EXPECT_EQ(atDot(pic, 30, 70), 0);
}

// Two captions on one row that exactly touch do not collide; one pixel closer they do. The
// later player lies to the right of the earlier one's caption, or its caption runs up to the
// earlier one's dot from the left.
struct TouchCase {
    const char* name;
    bool laterOnTheRight;
    int overlap; ///< pixels by which the caption runs into the other player's place
    bool shifted;
};

class CaptionTouchTest : public graphtest::GraphTest,
                         public ::testing::WithParamInterface<TouchCase> {};

TEST_P(CaptionTouchTest, OnlyCaptionsThatOverlapMoveDown)
{
    const TouchCase& c = GetParam();
    // Names of whole pixel widths, and two positions whose dots lie that far apart.
    Picture scratch(kW, kH);
    scratch.graphics().setTextSize(9);
    std::string first, later;
    int32_t at = 0, laterAt = 0;
    for (int k = 1; k <= 80 && first.empty(); ++k) {
        const std::string name(static_cast<size_t>(k), 'H');
        const double width = scratch.graphics().stringWidth(name);
        if (width != static_cast<int>(width))
            continue;
        for (int32_t p = -100; p <= 100 && first.empty(); ++p)
            for (int32_t q = -100; q <= 100 && first.empty(); ++q) {
                // The gap between the caption's end and the other dot, 4 pixels before it.
                const int gap = c.laterOnTheRight ? kScreen.plotx(q) - 4 - kScreen.plotx(p)
                                                  : kScreen.plotx(p) - 4 - kScreen.plotx(q);
                if (gap - width == -c.overlap && (c.laterOnTheRight ? q >= p : q <= p)) {
                    first = c.laterOnTheRight ? name : "X";
                    later = c.laterOnTheRight ? "X" : name;
                    at = p;
                    laterAt = q;
                }
            }
    }
    ASSERT_FALSE(first.empty()) << "no two dots as far apart as a name";

    graph& w = openGraph({{"Issue"}, {first, at, 50}, {later, laterAt, 50}});
    w.ColourBkgd = false;
    const Picture pic = paint(w);
    // The ink of the captions alone: what the graph shows without them is taken away.
    w.CaptionsOn = false;
    const Picture bare = paint(w);
    const auto [x, y] = screenDot(at, 50);
    const int right = x + 4 + static_cast<int>(scratch.graphics().stringWidth(first)) - 1;
    auto captionInk = [&](int top, int bottom) {
        return darkPixels(pic, x + 4, top, right, bottom) -
               darkPixels(bare, x + 4, top, right, bottom);
    };
    const int moved = captionInk(y + 4, y + 10);
    const int beside = captionInk(y - 9, y - 1);
    if (c.shifted) {
        EXPECT_GT(moved, 0) << "the first caption moves down";
        EXPECT_EQ(beside, 0);
    } else {
        EXPECT_EQ(moved, 0);
        EXPECT_GT(beside, 0) << "the first caption stays beside its dot";
    }
}

INSTANTIATE_TEST_SUITE_P(Edges, CaptionTouchTest,
                         ::testing::Values(TouchCase{"TouchingOnTheRight", true, 0, false},
                                           TouchCase{"OverlappingOnTheRight", true, 1, true},
                                           TouchCase{"TouchingOnTheLeft", false, 0, false},
                                           TouchCase{"OverlappingOnTheLeft", false, 1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CaptionTest, ALaterPlayerOfUnknownStanceStillMovesACaption)
{
    graph& w = openGraph({{"Issue"}, {"HHH", 40, 80}, {"HHH", 40, 80, 100, 100, "", true, true}});
    w.ColourBkgd = false;
    const Picture pic = paint(w);
    EXPECT_GT(shifted(pic, 0, 30), 0);
    EXPECT_EQ(atDot(pic, 0, 30), 0) << "the unknown player gets no caption";
}

TEST_F(CaptionTest, CaptionsStayBlackOnTheColouredBackground)
{
    graph& w = openGraph({{"Issue"}, {"HHH", 40, 80}});
    const Picture pic = paint(w);
    EXPECT_GT(atDot(pic, 0, 30), 0);
}

// A caption by an edge of the canvas, at the window's layout size and in a small window.
struct EdgeCaptionCase {
    const char* name;
    int32_t position, importance;
    int32_t windowWidth, windowHeight;
};

class EdgeCaptionTest : public graphtest::GraphTest,
                        public ::testing::WithParamInterface<EdgeCaptionCase> {};

TEST_P(EdgeCaptionTest, StaysWholeOnTheCanvas)
{
    const EdgeCaptionCase& c = GetParam();
    const std::string name = "Chamber of Commerce";
    graph& w = openGraph({{"Issue"}, {name, c.position, c.importance}});
    w.setSize(c.windowWidth, c.windowHeight);
    platform::testing::processEvents();
    w.ColourBkgd = false;
    const Picture pic = paint(w);
    w.CaptionsOn = false;
    const Picture bare = paint(w);
    const int32_t W = w.cGraph->width(), H = w.cGraph->height();

    // The ink the caption adds: all of its own, but where it lies over its dot.
    Picture alone(400, 60);
    alone.graphics().setTextSize(9);
    alone.graphics().drawString(name, 10, 30);
    const int whole = darkPixels(alone, 0, 0, 399, 59);
    const int added = darkPixels(pic, 0, 0, W - 1, H - 1) - darkPixels(bare, 0, 0, W - 1, H - 1);
    EXPECT_LE(added, whole);
    EXPECT_GE(added, whole - 16) << "all of the caption is drawn, clear of the frame";
}

INSTANTIATE_TEST_SUITE_P(
    Places, EdgeCaptionTest,
    ::testing::Values(EdgeCaptionCase{"NearPosition100", 98, 60, 725, 411},
                      EdgeCaptionCase{"AtTheTopRightOfASmallWindow", 97, 100, 400, 200},
                      EdgeCaptionCase{"AtTheBottomLeftOfTheSmallest", -100, 0, graph::kMinimumWidth,
                                      graph::kMinimumHeight},
                      EdgeCaptionCase{"AtTheTopRightAt4K", 100, 100, 3840, 2160}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GraphDrawingTest, WithoutTheColouredBackgroundTheScreenShowsAWhitePlot)
{
    graph& w = openGraph({{"Issue"}, {"A", 40, 80}});
    w.CheckBox2->setValue(false); // the user unticks "Colour background"
    ASSERT_FALSE(w.ColourBkgd);
    const Picture shown = platform::testing::shownPixels(*w.cGraph);
    EXPECT_EQ(shown.pixel(5, 5), kWhite) << "inside the frame, away from the axes";
    EXPECT_EQ(shown.pixel(kW - 5, kH - 5), kWhite);
    const auto [x, y] = screenDot(40, 80);
    EXPECT_EQ(darkPixels(shown, x, y, x + 3, y + 3), 16) << "a black dot";
}

// --- The printed drawing (page and picture) ---

TEST_F(GraphDrawingTest, ThePrintedDrawingHasEveryPlayerUnlimitedInBlackOnWhite)
{
    graph& w = openGraph(
        {{"Issue"}, {"A", 40, 80}, {"B", -40, 30, 100, 100, "", true, true}, {"C", 110, 70}});
    ASSERT_TRUE(w.ColourBkgd);
    w.CaptionsOn = false;
    w.xplot.fill(-1);
    const GraphMapping page = GraphMapping::screen(kW, kH);
    const Picture pic = printed(w, page);
    EXPECT_EQ(pic.pixel(50, 5), kWhite) << "no coloured background";
    auto dotAt = [&](int32_t pos, int32_t imp) {
        const int x = page.plotx(pos) - 2;
        const int y = page.ploty(imp) - 2;
        return darkPixels(pic, x, y, x + 3, y + 3);
    };
    EXPECT_EQ(dotAt(40, 80), 16);
    EXPECT_EQ(dotAt(-40, 30), 16) << "a player of unknown stance is printed";
    EXPECT_EQ(dotAt(110, 70), 16) << "beyond the +100 tick";
    EXPECT_GT(page.plotx(110) - 2, page.plotx(100) + 2);
    EXPECT_EQ(w.xplot[1], -1) << "the printed drawing records nothing";
}

// The largest document: the first and the last player each have their dot where their values
// put it, and only there.
TEST_F(GraphDrawingTest, AtTheLimitTheFirstAndLastPlayersHaveTheirDots)
{
    testsupport::TempDir dir;
    testsupport::largest::Open(main(), dir.file("largest.dat"));
    graph& w = graph::instance();
    platform::testing::activate(w);
    ASSERT_FALSE(w.CaptionsOn) << "so many players open without captions";
    const Picture with = paint(w);
    for (const int32_t i : {1, kPlayerLimit}) {
        SCOPED_TRACE("player " + std::to_string(i));
        const Player& p = main().Player[i];
        const auto [x, y] = screenDot(p.Position, p.Importance);
        EXPECT_EQ(with.pixel(x + 1, y + 1), kWhite) << "a white dot on the coloured background";
        EXPECT_EQ(w.xplot[i], x);
        EXPECT_EQ(w.yplot[i], y);
        main().Player[i].Unknown = true;
        const Picture without = paint(w);
        main().Player[i].Unknown = false;
        int inDot = 0;
        int elsewhere = 0;
        for (int py = 0; py < with.height(); ++py)
            for (int px = 0; px < with.width(); ++px)
                if (with.pixel(px, py) != without.pixel(px, py))
                    ++(px >= x && px < x + 4 && py >= y && py < y + 4 ? inDot : elsewhere);
        EXPECT_EQ(inDot, 16) << "the whole dot";
        EXPECT_EQ(elsewhere, 0);
    }
}

} // namespace
