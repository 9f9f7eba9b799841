#include "app/frmDetails.h"
#include "app/frmLinks.h"
#include "app/frmMain.h"

#include "tests/support/app_fixture.h"
#include "tests/support/modal_script.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

namespace pt = platform::testing;
using testsupport::Kind;
using testsupport::ModalScript;

class PointerTest : public testsupport::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        // Player 1 "Abc" has its box at (100, 100), 41 by 30, centre (120, 115).
        testsupport::LoadDocument(
            main(),
            {{"Issue", 0, 50, 353, 271}, {"Abc", 0, 50, 100, 100}, {"Defg", 0, 50, 400, 300}});
        frmMain& m = main();
        m.ScaleFactorx = 1; // the window at its design size
        m.ScaleFactorY = 1;
    }

    platform::Canvas& canvas() { return *main().Canvas1; }

    void click(int32_t x, int32_t y, int32_t toX, int32_t toY,
               unsigned releaseModifiers = pt::NoModifier)
    {
        pt::mousePress(canvas(), x, y);
        if (toX != x || toY != y)
            pt::mouseMove(canvas(), toX, toY, releaseModifiers);
        pt::mouseRelease(canvas(), toX, toY, releaseModifiers);
    }

    static void okWithName(ModalScript& script, std::string name, std::string expectedTitle)
    {
        script.window([name, expectedTitle](platform::Window& w) {
            frmDetails& d = dynamic_cast<frmDetails&>(w);
            EXPECT_EQ(d.title(), expectedTitle);
            if (!name.empty())
                d.efName->setText(name);
            d.PushButton1->push();
        });
    }
};

// A player with a long name created by an edge of the canvas: its box starts on the canvas,
// as near the click as it fits, at the design size and in a smaller window.
struct EdgeCreationCase {
    const char* name;
    int32_t width, height; ///< the main window
    bool left, top;        ///< the click by the left and top edges, else the right and bottom
};

class EdgeCreationTest : public PointerTest,
                         public ::testing::WithParamInterface<EdgeCreationCase> {};

TEST_P(EdgeCreationTest, TheNewBoxLiesOnTheCanvas)
{
    const EdgeCreationCase& c = GetParam();
    frmMain& m = main();
    m.setSize(c.width, c.height);
    pt::finishPaints();
    const int32_t W = m.Canvas1->width(), H = m.Canvas1->height();
    const int32_t x = c.left ? 5 : W - 5;
    const int32_t y = c.top ? 5 : H - 5;
    ModalScript script;
    okWithName(script, "Chamber of Commerce and Industry", "New Player");
    pt::mousePress(canvas(), x, y, pt::Command);
    pt::mouseRelease(canvas(), x, y, pt::Command);
    ASSERT_EQ(m.NumPlayer, 3);
    const Player& p = m.Player[3];
    ASSERT_EQ(p.Width, 7 * 32 + 20) << "the box-size rule's estimate";
    EXPECT_GE(m.plotx(p.x), 0);
    EXPECT_GE(m.ploty(p.y), 0);
    EXPECT_LE(m.plotx(p.x) + p.Width, W);
    EXPECT_LE(m.ploty(p.y) + p.Height, H);
    EXPECT_LE(std::abs(m.plotx(p.x) + (c.left ? 0 : p.Width) - (c.left ? 0 : W)), 1)
        << "against the edge it was created by";
    // The centre is that of the box as drawn.
    EXPECT_EQ(p.xcentre, p.x + m.unplotx(p.Width / 2));
    EXPECT_EQ(p.ycentre, p.y + m.unploty(p.Height / 2));
}

INSTANTIATE_TEST_SUITE_P(
    Edges, EdgeCreationTest,
    ::testing::Values(EdgeCreationCase{"TopLeftAt772x624", 772, 624, true, true},
                      EdgeCreationCase{"BottomRightAt772x624", 772, 624, false, false},
                      EdgeCreationCase{"TopLeftAt520x420", 520, 420, true, true},
                      EdgeCreationCase{"BottomRightAt520x420", 520, 420, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PointerTest, ACommandClickCreatesAPlayerCentredAtTheClick)
{
    ModalScript script;
    okWithName(script, "New", "New Player");
    pt::mousePress(canvas(), 300, 200, pt::Command);
    pt::mouseRelease(canvas(), 300, 200, pt::Command);
    frmMain& m = main();
    ASSERT_EQ(m.NumPlayer, 3);
    EXPECT_EQ(m.Player[3].Name, "New");
    EXPECT_EQ(m.Player[3].Width, 41);
    EXPECT_EQ(m.Player[3].x, 279) << "int(279.5)";
    EXPECT_EQ(m.Player[3].y, 185);
    EXPECT_TRUE(m.Player[3].LinkMain);
    EXPECT_TRUE(m.FileChanged);
    EXPECT_TRUE(m.pbMove->isEnabled()) << "a creation enables the view buttons";
}

TEST_F(PointerTest, AStillClickInsideTheBoxEditsAndMovesNothing)
{
    ModalScript script;
    okWithName(script, "", "Edit player information");
    click(110, 110, 110, 110);
    EXPECT_TRUE(script.done());
    const Player& p = main().Player[1];
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.y, 100);
    EXPECT_EQ(p.xcentre, 120);
    EXPECT_EQ(p.ycentre, 115);
    EXPECT_TRUE(main().FileChanged);
}

TEST_F(PointerTest, ADragOfSixUnitsStillEdits)
{
    ModalScript script;
    okWithName(script, "", "Edit player information");
    click(110, 110, 116, 116);
    EXPECT_TRUE(script.done());
    EXPECT_EQ(main().Player[1].x, 100);
}

TEST_F(PointerTest, ADragOfSevenUnitsMovesTheCentreToTheLastDragPoint)
{
    click(110, 110, 117, 110);
    const Player& p = main().Player[1];
    EXPECT_EQ(p.xcentre, 117);
    EXPECT_EQ(p.ycentre, 110);
    EXPECT_EQ(p.x, 117 - 20);
    EXPECT_EQ(p.y, 110 - 15);
    EXPECT_TRUE(main().FileChanged);
}

// A release is a click only when it lies on the drawn box of the player pressed (pixels 100 to
// 140 across, 100 to 129 down, the outline included) and less than 7 units from the press both
// across and down; otherwise the player's centre moves to the last drag point.
struct ClickOrMoveCase {
    const char* name;
    int32_t x, y;     ///< the press
    int32_t toX, toY; ///< the drag point and the release
    bool click;
};

class ClickOrMoveTest : public PointerTest,
                        public ::testing::WithParamInterface<ClickOrMoveCase> {};

TEST_P(ClickOrMoveTest, OnlyAStillReleaseInsideTheBoxEdits)
{
    const ClickOrMoveCase& c = GetParam();
    ModalScript script;
    if (c.click)
        okWithName(script, "", "Edit player information");
    click(c.x, c.y, c.toX, c.toY);
    EXPECT_TRUE(script.done());
    const Player& p = main().Player[1];
    EXPECT_EQ(p.xcentre, c.click ? 120 : c.toX);
    EXPECT_EQ(p.ycentre, c.click ? 115 : c.toY);
}

INSTANTIATE_TEST_SUITE_P(
    Releases, ClickOrMoveTest,
    ::testing::Values(ClickOrMoveCase{"SixAcrossAndDown", 110, 110, 116, 116, true},
                      ClickOrMoveCase{"SixBackAndUp", 110, 110, 104, 104, true},
                      ClickOrMoveCase{"SevenDown", 110, 110, 110, 117, false},
                      ClickOrMoveCase{"SevenBack", 110, 110, 103, 110, false},
                      ClickOrMoveCase{"JustInsideTheLeftEdge", 104, 110, 101, 110, true},
                      ClickOrMoveCase{"OnTheLeftOutline", 104, 110, 100, 110, true},
                      ClickOrMoveCase{"LeftOfTheOutline", 104, 110, 99, 110, false},
                      ClickOrMoveCase{"JustInsideTheRightEdge", 137, 110, 140, 110, true},
                      ClickOrMoveCase{"OnTheRightEdge", 137, 110, 141, 110, false},
                      ClickOrMoveCase{"JustInsideTheTopEdge", 110, 104, 110, 101, true},
                      ClickOrMoveCase{"OnTheTopOutline", 110, 104, 110, 100, true},
                      ClickOrMoveCase{"AboveTheOutline", 110, 104, 110, 99, false},
                      ClickOrMoveCase{"JustInsideTheBottomEdge", 110, 126, 110, 129, true},
                      ClickOrMoveCase{"OnTheBottomEdge", 110, 126, 110, 130, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A still click near the bottom-right corner of player 1's box as the window of that size
// draws it: inside it edits, just outside it moves the player.
struct DrawnBoxCase {
    const char* name;
    int32_t width, height; ///< the main window
    int32_t dx, dy;        ///< from the drawn box's bottom-right corner, in pixels
    bool click;
};

class DrawnBoxTest : public PointerTest, public ::testing::WithParamInterface<DrawnBoxCase> {};

TEST_P(DrawnBoxTest, AClickCountsInsideTheBoxAsItIsDrawn)
{
    const DrawnBoxCase& c = GetParam();
    frmMain& m = main();
    m.setSize(c.width, c.height);
    pt::finishPaints();
    ASSERT_EQ(m.width(), c.width);
    const Player& p = m.Player[1];
    const int32_t x = m.plotx(p.x) + p.Width + c.dx;
    const int32_t y = m.ploty(p.y) + p.Height + c.dy;
    ModalScript script;
    if (c.click)
        okWithName(script, "", "Edit player information");
    click(x, y, x, y);
    EXPECT_TRUE(script.done());
    EXPECT_EQ(p.x == 100 && p.y == 100, c.click) << "a click keeps the box where it is";
}

INSTANTIATE_TEST_SUITE_P(
    Windows, DrawnBoxTest,
    ::testing::Values(DrawnBoxCase{"LowerRightInsideAt772x624", 772, 624, -3, -3, true},
                      DrawnBoxCase{"LowerRightInsideAt520x420", 520, 420, -3, -3, true},
                      DrawnBoxCase{"BelowAt520x420", 520, 420, -3, 3, false},
                      DrawnBoxCase{"LowerRightInsideAt1544x1248", 1544, 1248, -3, -3, true},
                      DrawnBoxCase{"RightOfItAt1544x1248", 1544, 1248, 4, -3, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PointerTest, APressOnEmptyCanvasPullsTheNearestPlayerThere)
{
    click(200, 200, 200, 200);
    EXPECT_EQ(main().Player[1].xcentre, 200);
    EXPECT_EQ(main().Player[1].ycentre, 200);
}

TEST_F(PointerTest, AShiftReleaseLinksThePressedPlayerToTheNearestCorner)
{
    ModalScript script;
    script.window([](platform::Window& w) {
        frmLinks& l = dynamic_cast<frmLinks&>(w);
        EXPECT_EQ(l.StaticText1->text(), "Link: Abc");
        EXPECT_EQ(l.StaticText2->text(), "To: Defg");
        l.PushButton1->push();
    });
    click(120, 115, 402, 302, pt::Shift);
    EXPECT_EQ(main().Links[1][2], 50);
    EXPECT_EQ(main().Links[2][1], 50);
    EXPECT_TRUE(main().FileChanged);
    EXPECT_EQ(main().Player[1].xcentre, 120) << "a link moves nothing";
}

// Both ways of creating a player on the map add the fiftieth and refuse the fifty-first.
struct LimitCase {
    const char* name;
    bool contextual; ///< the contextual menu's "Create New Player", else a Command-click
    int32_t players; ///< players besides the central issue before the creation
};

class PlayerLimitTest : public PointerTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(PlayerLimitTest, TheFiftiethIsAddedAndTheFiftyFirstRefused)
{
    const LimitCase& c = GetParam();
    std::vector<testsupport::FixturePlayer> players;
    for (int i = 0; i <= c.players; ++i)
        players.emplace_back("P" + std::to_string(i));
    testsupport::LoadDocument(main(), players);
    const bool refused = c.players >= kPlayerLimit;
    ModalScript script;
    if (c.contextual)
        script.expect(Kind::ContextualMenu, [](const testsupport::ModalRequest& r) {
            EXPECT_EQ(r.buttons,
                      (std::vector<std::string>{"Create New Player", "Edit Nearest Player"}));
            return testsupport::ModalAnswer::button(0);
        });
    if (refused)
        script.message("You have reached the limit of 50 players");
    else
        script.window([](platform::Window& w) {
            dynamic_cast<frmDetails&>(w).efName->setText("Last");
            dynamic_cast<frmDetails&>(w).PushButton1->push();
        });
    if (c.contextual)
        pt::mousePress(canvas(), 300, 200, pt::NoModifier, pt::MouseButton::Right);
    else
        pt::mousePress(canvas(), 300, 200, pt::Command);
    pt::mouseRelease(canvas(), 300, 200);
    EXPECT_TRUE(script.done());
    EXPECT_EQ(main().NumPlayer, refused ? kPlayerLimit : c.players + 1);
    EXPECT_EQ(main().Player[main().NumPlayer].Name,
              refused ? "P" + std::to_string(kPlayerLimit) : std::string("Last"));
    EXPECT_EQ(main().FileChanged, !refused);
}

INSTANTIATE_TEST_SUITE_P(Creations, PlayerLimitTest,
                         ::testing::Values(LimitCase{"CommandClickAt49", false, 49},
                                           LimitCase{"CommandClickAt50", false, 50},
                                           LimitCase{"ContextualAt49", true, 49},
                                           LimitCase{"ContextualAt50", true, 50}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PointerTest, TheContextualMenuCreatesAtThePressWithTheMainBoxShown)
{
    ModalScript script;
    script.expect(Kind::ContextualMenu, [](const testsupport::ModalRequest&) {
        return testsupport::ModalAnswer::button(0);
    });
    script.window([](platform::Window& w) {
        frmDetails& d = dynamic_cast<frmDetails&>(w);
        EXPECT_TRUE(d.cbMain->isVisible());
        d.efName->setText("Ctx");
        d.PushButton1->push();
    });
    pt::mousePress(canvas(), 250, 250, pt::NoModifier, pt::MouseButton::Right);
    pt::mouseRelease(canvas(), 250, 250, pt::NoModifier, pt::MouseButton::Right);
    ASSERT_EQ(main().NumPlayer, 3);
    EXPECT_EQ(main().Player[3].xcentre, 250);
    EXPECT_EQ(main().Player[3].ycentre, 250);
}

TEST_F(PointerTest, EditNearestPlayerWithoutADocumentDoesNothing)
{
    main().NumPlayer = -1;
    ModalScript script;
    script.expect(Kind::ContextualMenu, [](const testsupport::ModalRequest&) {
        return testsupport::ModalAnswer::button(1);
    });
    pt::mousePress(canvas(), 250, 250, pt::NoModifier, pt::MouseButton::Right);
    EXPECT_FALSE(frmDetails::exists());
}

// --- The player a press acts on ---

// "Transport Authority" with "Builders union" just below its right end, whose centre lies
// nearer that end than its own does; "Covered" lies wholly under the central issue's box;
// "Over" lies on top of the left end of "Transport Authority".
class PressedPlayerTest : public PointerTest {
protected:
    void SetUp() override
    {
        PointerTest::SetUp();
        testsupport::LoadDocument(main(), {{"Issue of the day", 0, 50, 400, 300},
                                           {"Transport Authority", 20, 50, 100, 100},
                                           {"Builders union", -60, 50, 200, 160},
                                           {"Covered", 0, 50, 410, 300},
                                           {"Over", 40, 50, 80, 110}});
    }

    void resizeTo(int32_t width, int32_t height)
    {
        main().setSize(width, height);
        pt::finishPaints();
        ASSERT_EQ(main().width(), width);
    }

    // Expects the player editor on `name`, closed with OK.
    static void editorOn(ModalScript& script, std::string name)
    {
        script.window([name](platform::Window& w) {
            frmDetails& d = dynamic_cast<frmDetails&>(w);
            EXPECT_EQ(d.title(), "Edit player information");
            EXPECT_EQ(d.efName->text(), name);
            d.PushButton1->push();
        });
    }

    std::vector<std::pair<int32_t, int32_t>> corners()
    {
        std::vector<std::pair<int32_t, int32_t>> out;
        for (int32_t i = 0; i <= main().NumPlayer; ++i)
            out.emplace_back(main().Player[i].x, main().Player[i].y);
        return out;
    }
};

struct CornerClickCase {
    const char* name;
    int32_t width, height; ///< the main window
    bool right, bottom;    ///< the corner of "Transport Authority"'s drawn box clicked in
};

class CornerClickTest : public PressedPlayerTest,
                        public ::testing::WithParamInterface<CornerClickCase> {};

TEST_P(CornerClickTest, AStillClickInAnyCornerOfADrawnBoxEditsThatPlayer)
{
    const CornerClickCase& c = GetParam();
    resizeTo(c.width, c.height);
    const Player& p = main().Player[1];
    const platform::Rect box = main().BoxOnCanvas(p);
    // 3 pixels inside the corner; the left end lies under "Over", so its corners are taken
    // just right of that box.
    const platform::Rect over = main().BoxOnCanvas(main().Player[4]);
    const int32_t left = std::max(box.left, over.left + over.width) + 3;
    const int32_t x = c.right ? box.left + box.width - 1 - 3 : left;
    const int32_t y = c.bottom ? box.top + box.height - 1 - 3 : box.top + 3;
    const auto before = corners();
    ModalScript script;
    editorOn(script, "Transport Authority");
    click(x, y, x, y);
    EXPECT_TRUE(script.done());
    EXPECT_EQ(corners(), before) << "a click moves nobody";
}

INSTANTIATE_TEST_SUITE_P(
    Windows, CornerClickTest,
    ::testing::Values(CornerClickCase{"LowerRightAt520x420", 520, 420, true, true},
                      CornerClickCase{"LowerLeftAt520x420", 520, 420, false, true},
                      CornerClickCase{"UpperRightAt520x420", 520, 420, true, false},
                      CornerClickCase{"LowerRightAt772x624", 772, 624, true, true},
                      CornerClickCase{"LowerRightAt1920x1080", 1920, 1080, true, true},
                      CornerClickCase{"UpperLeftAt3840x2160", 3840, 2160, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PressedPlayerTest, APressOnOverlappingBoxesActsOnTheOneOnTop)
{
    // Inside both "Transport Authority" and "Over", drawn later and so on top, at the far end
    // of a long "Over", nearer the centre of the box beneath.
    main().Player[4].Name = "Over the top of it all";
    main().Canvas1->refresh();
    pt::finishPaints();
    const platform::Rect over = main().BoxOnCanvas(main().Player[4]);
    const int32_t x = over.left + over.width - 5;
    const int32_t y = over.top + 5;
    ASSERT_EQ(main().PlayerAt(x, y), 4);
    const auto distance = [&](const Player& p) {
        return main().Distance(static_cast<float>(p.xcentre), static_cast<float>(p.ycentre),
                               static_cast<float>(x), static_cast<float>(y));
    };
    ASSERT_LT(distance(main().Player[1]), distance(main().Player[4]));
    ModalScript script;
    editorOn(script, "Over the top of it all");
    click(x, y, x, y);
    EXPECT_TRUE(script.done());

    // A drag from the same place moves "Over", not the player whose centre is nearer.
    const Player& moved = main().Player[4];
    click(x, y, x + 100, y + 200);
    EXPECT_EQ(moved.xcentre, main().unplotx(x + 100));
    EXPECT_EQ(main().Player[1].x, 100) << "the box beneath stays";
}

TEST_F(PressedPlayerTest, APressOverTheCentralIssueNeverReachesTheBoxUnderIt)
{
    const platform::Rect centre = main().BoxOnCanvas(main().Player[0]);
    ASSERT_FALSE(main().IsInSight(3)) << "\"Covered\" lies wholly under the central issue";
    ModalScript script;
    editorOn(script, "Issue of the day");
    click(centre.left + 12, centre.top + 10, centre.left + 12, centre.top + 10);
    EXPECT_TRUE(script.done());
}

TEST_F(PressedPlayerTest, APressOnEmptyCanvasPullsOnlyAPlayerInSight)
{
    // Below the central issue, nearest the centre of the box hidden beneath it.
    const platform::Rect centre = main().BoxOnCanvas(main().Player[0]);
    const int32_t x = main().BoxOnCanvas(main().Player[3]).left + 10;
    const int32_t y = centre.top + centre.height + 8;
    ASSERT_LT(main().PlayerAt(x, y), 0) << "outside every box";
    const auto distance = [&](const Player& p) {
        return main().Distance(static_cast<float>(p.xcentre), static_cast<float>(p.ycentre),
                               static_cast<float>(x), static_cast<float>(y));
    };
    ASSERT_LT(distance(main().Player[3]), distance(main().Player[0]));
    const auto before = corners();
    click(x, y, x, y);
    EXPECT_EQ(main().Player[3].x, before[3].first) << "the hidden player stays hidden";
    EXPECT_EQ(main().Player[0].ycentre, main().unploty(y)) << "the nearest in sight moves";
}

TEST_F(PressedPlayerTest, AShiftReleaseOnABoxLinksToThatBox)
{
    // From "Over" to a point inside "Transport Authority"'s box, right of "Over": its corner
    // is not the nearest corner to the point ("Builders union"'s is), its box is under it.
    const platform::Rect over = main().BoxOnCanvas(main().Player[4]);
    const platform::Rect box = main().BoxOnCanvas(main().Player[1]);
    const int32_t x = box.left + box.width - 4;
    const int32_t y = box.top + box.height - 4;
    ModalScript script;
    script.window([](platform::Window& w) {
        frmLinks& l = dynamic_cast<frmLinks&>(w);
        EXPECT_EQ(l.StaticText1->text(), "Link: Over");
        EXPECT_EQ(l.StaticText2->text(), "To: Transport Authority");
        l.PushButton1->push();
    });
    click(over.left + 5, over.top + 5, x, y, pt::Shift);
    EXPECT_TRUE(script.done());
    EXPECT_GT(main().Links[4][1], 0);
}

} // namespace
