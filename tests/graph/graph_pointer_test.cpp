#include "graph/graph.h"

#include "app/frmDetails.h"
#include "app/frmMain.h"

#include "tests/graph/graph_fixture.h"
#include "tests/support/modal_script.h"
#include "tests/support/paint_counter.h"
#include "tests/support/temp_dir.h"

#include "platform/testing.h"
#include "platform/values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace pt = platform::testing;
using graphtest::kH;
using graphtest::kW;
using testsupport::Kind;
using testsupport::ModalAnswer;
using testsupport::ModalRequest;
using testsupport::ModalScript;

const GraphMapping kScreen = GraphMapping::screen(kW, kH);

class GraphPointerTest : public graphtest::GraphTest {
protected:
    void SetUp() override
    {
        GraphTest::SetUp();
        // Player 1 "Abc" (box 41 by 30 at 100, 100), player 2 "Defg" (48 by 30 at 400, 300).
        mGraph = &openGraph({{"Issue"}, {"Abc", -40, 30}, {"Defg", 40, 80, 400, 300}});
        paint(*mGraph);
        main().ScaleFactorx = 2; // model units are not pixels: the click edit converts
        main().ScaleFactorY = 2;
    }

    graph& w() { return *mGraph; }
    platform::Canvas& canvas() { return *mGraph->cGraph; }

    void gesture(int32_t x, int32_t y, const std::vector<std::pair<int32_t, int32_t>>& moves,
                 int32_t toX, int32_t toY)
    {
        pt::mousePress(canvas(), x, y);
        for (const auto& [mx, my] : moves)
            pt::mouseMove(canvas(), mx, my);
        pt::mouseRelease(canvas(), toX, toY);
    }

    static void expectMenu(ModalScript& script, int row)
    {
        script.expect(Kind::ContextualMenu, [row](const ModalRequest& r) {
            EXPECT_EQ(r.buttons,
                      (std::vector<std::string>{"Create New Player", "Edit Nearest Player"}));
            return ModalAnswer::button(row);
        });
    }

    static void expectEditor(ModalScript& script, std::string title, std::string name,
                             std::function<void(frmDetails&)> work = {})
    {
        script.window([=](platform::Window& window) {
            frmDetails& d = dynamic_cast<frmDetails&>(window);
            EXPECT_EQ(d.title(), title);
            EXPECT_EQ(d.efName->text(), name);
            if (work)
                work(d);
            else
                d.PushButton1->push();
        });
    }

    graph* mGraph = nullptr;
};

// --- Press, drag and release ---

TEST_F(GraphPointerTest, ADragPaintsTheGraphAndTheSpiderPlotOnceEach)
{
    pt::processEvents();
    testsupport::PaintCounter graphPaints(canvas());
    testsupport::PaintCounter spiderPaints(*main().Canvas1);
    gesture(w().xplot[1] + 2, w().yplot[1] + 2, {{300, 200}}, 300, 200);
    pt::finishPaints();
    EXPECT_EQ(graphPaints.count(), 1);
    EXPECT_EQ(spiderPaints.count(), 1);
}

TEST_F(GraphPointerTest, AReleasePaintsTheGraphBeforeTheSpiderPlot)
{
    // The view the user works in reaches the screen first, the spider plot in the same turn;
    // also after the editor, whose OK has asked for the spider plot already.
    pt::processEvents();
    testsupport::PaintOrder order({{&canvas(), "graph"}, {main().Canvas1, "spider plot"}});
    for (const bool click : {false, true}) {
        order.clear();
        ModalScript script;
        if (click)
            expectEditor(script, "Edit player information", "Defg");
        if (click)
            gesture(600, 40, {}, 600, 40);
        else
            gesture(600, 40, {{300, 200}}, 300, 200);
        pt::processEvents();
        EXPECT_EQ(order.first(), "graph") << (click ? "a click" : "a drag");
        EXPECT_TRUE(order.painted("spider plot"));
    }
}

TEST_F(GraphPointerTest, ADragMovesTheNearestPlayerToTheReleasePoint)
{
    gesture(w().xplot[2] + 1, w().yplot[2] + 1, {{200, 120}, {150, 100}}, 100, 50);
    const Player& p = main().Player[2];
    EXPECT_EQ(p.Position, kScreen.unplotx(100)) << "the release point, not the last drag point";
    EXPECT_EQ(p.Importance, kScreen.unploty(50));
    EXPECT_EQ(main().Player[1].Position, -40);
    EXPECT_EQ(p.x, 400) << "the box on the spider plot stays";
    EXPECT_TRUE(main().FileChanged);
}

struct ReleaseCase {
    const char* name;
    int32_t x;
    int32_t y;
    int32_t position; ///< what is stored
    int32_t importance;
};

class ReleaseBeyondTheAxesTest : public GraphPointerTest,
                                 public ::testing::WithParamInterface<ReleaseCase> {};

// A release past the ends of the scales, on the canvas's edge or beyond it, stores the ends that
// the sliders and the player editor hold, where the dot is then drawn.
TEST_P(ReleaseBeyondTheAxesTest, StoresTheEndsOfTheScales)
{
    const ReleaseCase& c = GetParam();
    ASSERT_TRUE(kScreen.unplotx(c.x) < -100 || kScreen.unplotx(c.x) > 100 ||
                kScreen.unploty(c.y) < 0 || kScreen.unploty(c.y) > 100)
        << "the release lies past a scale's end";
    gesture(w().xplot[1], w().yplot[1], {{c.x, c.y}}, c.x, c.y);
    const Player& p = main().Player[1];
    EXPECT_EQ(p.Position, c.position);
    EXPECT_EQ(p.Importance, c.importance);
    EXPECT_TRUE(main().FileChanged);
}

INSTANTIATE_TEST_SUITE_P(Points, ReleaseBeyondTheAxesTest,
                         ::testing::Values(ReleaseCase{"BelowLeft", -60, kH + 60, -100, 0},
                                           ReleaseCase{"AboveRight", kW + 60, -40, 100, 100},
                                           ReleaseCase{"TopLeftCorner", 1, 1, -100, 100},
                                           ReleaseCase{"BottomRightCorner", kW - 1, kH - 1, 100, 0},
                                           // Only the axis past its end is held back.
                                           ReleaseCase{"RightOfTheMiddle", kW - 1, kH / 2, 100,
                                                       kScreen.unploty(kH / 2)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GraphPointerTest, AStillClickAnywhereEditsTheNearestPlayer)
{
    ModalScript script;
    expectEditor(script, "Edit player information", "Defg", [](frmDetails& d) {
        d.efSub->setText("Sub");
        d.PushButton1->push();
    });
    gesture(600, 40, {}, 600, 40);
    EXPECT_TRUE(script.done());
    const Player& p = main().Player[2];
    EXPECT_EQ(p.Position, 40) << "a click moves nothing";
    EXPECT_EQ(p.Importance, 80);
    EXPECT_EQ(p.Height, 45);
    EXPECT_EQ(p.xcentre, 400 + 48) << "half the box in model units: 24 pixels, 48 units";
    EXPECT_EQ(p.ycentre, 300 + 44);
    EXPECT_TRUE(main().FileChanged);
}

TEST_F(GraphPointerTest, TheEditorOpensCentredOverTheGraph)
{
    w().setLeft(260);
    w().setTop(140);
    ModalScript script;
    script.window([this](platform::Window& editor) {
        EXPECT_TRUE(testsupport::IsCentredOver(editor, w()));
        dynamic_cast<frmDetails&>(editor).PushButton1->push();
    });
    gesture(600, 40, {}, 600, 40);
    EXPECT_TRUE(script.done());
}

TEST_F(GraphPointerTest, ADragBackToThePressPointIsAClick)
{
    ModalScript script;
    expectEditor(script, "Edit player information", "Abc");
    const int32_t x = w().xplot[1] + 2;
    const int32_t y = w().yplot[1] + 2;
    gesture(x, y, {{x + 60, y - 40}, {x, y}}, x, y);
    EXPECT_TRUE(script.done());
    EXPECT_EQ(main().Player[1].Position, -40);
}

// The release is a click only when the last drag point is the press point in graph units;
// one unit across or up is already a drag.
struct ClickOrDragCase {
    const char* name;
    int32_t across; ///< graph units from the press to the last drag point
    int32_t up;
    bool pixelsApart; ///< the two points are different pixels of the same units
    bool click;
};

class ClickOrDragTest : public GraphPointerTest,
                        public ::testing::WithParamInterface<ClickOrDragCase> {};

TEST_P(ClickOrDragTest, OnlyThePressPointsOwnUnitsMakeAClick)
{
    const ClickOrDragCase& c = GetParam();
    const int32_t x = w().xplot[1] + 2;
    const int32_t y = w().yplot[1] + 2;
    // The nearest pixels that lie the case's units away from the press point.
    auto pixelAt = [](int32_t from, int32_t units, bool apart, auto unplot) {
        for (int32_t d = 0; d < 40; ++d)
            for (const int32_t p : {from + d, from - d})
                if (unplot(p) == unplot(from) + units && (units != 0 || !apart || p != from))
                    return p;
        ADD_FAILURE() << "no pixel " << units << " units away";
        return from;
    };
    const int32_t toX =
        pixelAt(x, c.across, c.pixelsApart, [](int32_t px) { return kScreen.unplotx(px); });
    const int32_t toY = pixelAt(y, c.up, false, [](int32_t py) { return kScreen.unploty(py); });
    ASSERT_EQ(c.pixelsApart, toX != x);

    ModalScript script;
    if (c.click)
        expectEditor(script, "Edit player information", "Abc");
    gesture(x, y, {{x + 60, y - 40}, {toX, toY}}, toX, toY);
    EXPECT_TRUE(script.done());
    const Player& p = main().Player[1];
    if (c.click) {
        EXPECT_EQ(p.Position, -40) << "a click moves nothing";
        EXPECT_EQ(p.Importance, 30);
    } else {
        EXPECT_EQ(p.Position, kScreen.unplotx(toX)) << "a drag moves the player";
        EXPECT_EQ(p.Importance, kScreen.unploty(toY));
    }
}

INSTANTIATE_TEST_SUITE_P(Releases, ClickOrDragTest,
                         ::testing::Values(ClickOrDragCase{"SamePixel", 0, 0, false, true},
                                           ClickOrDragCase{"AnotherPixelOfTheSameUnits", 0, 0, true,
                                                           true},
                                           ClickOrDragCase{"OneUnitRight", 1, 0, true, false},
                                           ClickOrDragCase{"OneUnitLeft", -1, 0, true, false},
                                           ClickOrDragCase{"OneUnitUp", 0, 1, false, false},
                                           ClickOrDragCase{"OneUnitDown", 0, -1, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GraphPointerTest, OfTwoEquallyNearDotsTheLowerIndexIsPicked)
{
    testsupport::LoadDocument(main(), {{"Issue"}, {"One", 10, 50}, {"Two", 10, 50}});
    paint(w());
    gesture(50, 50, {{60, 60}}, 60, 60);
    EXPECT_EQ(main().closest, 1);
    EXPECT_EQ(main().Player[1].Position, kScreen.unplotx(60));
    EXPECT_EQ(main().Player[2].Position, 10);
}

TEST_F(GraphPointerTest, APressBeforeAnyPaintPicksFromTheDotsAsThePaintDrawsThem)
{
    w().xplot.fill(0);
    w().yplot.fill(0);
    w().xscale = 0;
    EXPECT_TRUE(w().cGraph_MouseDown({kScreen.plotx(40), kScreen.ploty(80), false}));
    EXPECT_EQ(main().closest, 2) << "Defg's dot, not a corner left from no paint";
    EXPECT_TRUE(main().Moving);
    EXPECT_EQ(main().clickx, kScreen.unplotx(kScreen.plotx(40)));
    EXPECT_EQ(main().clicky, kScreen.unploty(kScreen.ploty(80)));
    EXPECT_EQ(main().dragx, 0);
}

// --- Only a dot that is drawn can be picked ---

struct HiddenCase {
    const char* name;
    bool atTheOldDot; ///< the press where the document before had Defg's dot, else the corner
};

class PlayersWithoutADotTest : public GraphPointerTest,
                               public ::testing::WithParamInterface<HiddenCase> {};

TEST_P(PlayersWithoutADotTest, AreNeverMovedByADrag)
{
    // Index 2 held Defg's dot; now it holds a player of unknown stance, as does index 3, whose
    // dot was never painted: neither has a dot to pick.
    const int32_t oldX = w().xplot[2];
    const int32_t oldY = w().yplot[2];
    testsupport::TempDir dir;
    testsupport::OpenDocumentFile(main(),
                                  {{"Issue"},
                                   {"Known", 80, 90},
                                   {"Hidden", 25, 53, 400, 300, "", true, true},
                                   {"Unseen", -60, 20, 400, 300, "", true, true}},
                                  dir.file("other.dat"));
    pt::activate(w());
    const bool old = GetParam().atTheOldDot;
    gesture(old ? oldX : 1, old ? oldY : 1, {{300, 200}}, 300, 200);
    EXPECT_EQ(main().closest, 1) << "the only dot";
    for (int32_t i : {2, 3}) {
        EXPECT_EQ(main().Player[i].Position, i == 2 ? 25 : -60) << i;
        EXPECT_EQ(main().Player[i].Importance, i == 2 ? 53 : 20) << i;
    }
    EXPECT_EQ(main().Player[1].Position, kScreen.unplotx(300));
}

INSTANTIATE_TEST_SUITE_P(Presses, PlayersWithoutADotTest,
                         ::testing::Values(HiddenCase{"WhereTheDocumentBeforeHadADot", true},
                                           HiddenCase{"AtTheCornerOfADotNeverPainted", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GraphPointerTest, WithNoDotAtAllAPressPicksNobodyAndChangesNothing)
{
    testsupport::LoadDocument(main(), {{"Issue", 5, 50},
                                       {"U1", 25, 53, 100, 100, "", true, true},
                                       {"U2", -30, 10, 100, 100, "", true, true}});
    paint(w());
    main().Player[0].Width = 1; // not the box-size rule's
    gesture(300, 100, {{200, 200}}, 200, 200);
    EXPECT_EQ(main().closest, 0);
    gesture(300, 100, {{200, 200}, {300, 100}}, 300, 100); // a click opens no editor
    // Nor does "Edit Nearest Player": the menu comes, and nobody is edited.
    ModalScript script;
    expectMenu(script, 1);
    pt::mousePress(canvas(), 300, 100, pt::NoModifier, pt::MouseButton::Right);
    EXPECT_TRUE(script.done());
    EXPECT_EQ(main().Player[0].Position, 5);
    EXPECT_EQ(main().Player[0].Width, 1) << "the central issue's box stays";
    EXPECT_EQ(main().Player[1].Position, 25);
    EXPECT_EQ(main().Player[2].Position, -30);
    EXPECT_FALSE(main().FileChanged);
}

TEST_F(GraphPointerTest, AfterAContextualPressAReleaseMovesNobody)
{
    ModalScript script;
    script.cancel(Kind::ContextualMenu);
    pt::mousePress(canvas(), 500, 100, pt::NoModifier, pt::MouseButton::Right);
    EXPECT_TRUE(script.done());
    EXPECT_FALSE(main().Moving);
    EXPECT_EQ(main().closest, 2);
    // The platform ends the gesture with the menu; a release that still came is harmless.
    w().cGraph_MouseUp({200, 300, false});
    EXPECT_EQ(main().Player[2].Position, 40);
    EXPECT_EQ(main().Player[2].Importance, 80);
    EXPECT_FALSE(main().FileChanged);
}

TEST_F(GraphPointerTest, WithOnlyTheCentralIssueOrNoDocumentAPressAndReleaseOnlyRedraw)
{
    for (int32_t numPlayer : {0, -1}) {
        main().NumPlayer = numPlayer;
        main().Player[0].Position = 5;
        gesture(300, 100, {}, 300, 100);
        EXPECT_EQ(main().closest, 0);
        gesture(300, 100, {{200, 200}}, 200, 200);
        EXPECT_EQ(main().Player[0].Position, 5);
        EXPECT_EQ(main().Player[1].Position, -40);
        EXPECT_FALSE(main().FileChanged);
    }
}

TEST_F(GraphPointerTest, APlayerDeletedSinceThePressIsNeitherEditedNorMoved)
{
    // Player 2 is deleted in the editor that the contextual menu opened on it.
    ModalScript script;
    expectMenu(script, 1);
    expectEditor(script, "Edit player information", "Defg",
                 [](frmDetails& d) { d.PushButton2->push(); });
    pt::mousePress(canvas(), w().xplot[2], w().yplot[2], pt::NoModifier, pt::MouseButton::Right);
    EXPECT_TRUE(script.done());
    ASSERT_EQ(main().NumPlayer, 1);
    ASSERT_EQ(main().closest, 2);
    const Player stale = main().Player[2];
    // A release that still arrives, as a click and as a drag.
    main().dragx = main().clickx;
    main().dragy = main().clicky;
    w().cGraph_MouseUp({10, 10, false});
    main().Moving = true;
    main().dragx = 0;
    w().cGraph_MouseUp({10, 10, false});
    EXPECT_EQ(main().Player[2].Position, stale.Position);
    EXPECT_EQ(main().Player[1].Position, -40);
}

// --- The contextual menu ---

TEST_F(GraphPointerTest, CreateNewPlayerPresetsTheSlidersWithThePressedPoint)
{
    const int32_t x = kScreen.plotx(35);
    const int32_t y = kScreen.ploty(70);
    ModalScript script;
    expectMenu(script, 0);
    int32_t slider1 = 0;
    int32_t slider2 = 0;
    script.window([&](platform::Window& window) {
        frmDetails& d = dynamic_cast<frmDetails&>(window);
        EXPECT_EQ(d.title(), "New Player");
        EXPECT_TRUE(d.cbMain->isVisible());
        slider1 = d.Slider1->value();
        slider2 = d.Slider2->value();
        d.efName->setText("Newbie");
        d.PushButton1->push();
    });
    pt::mousePress(canvas(), x, y, pt::NoModifier, pt::MouseButton::Right);
    EXPECT_TRUE(script.done());
    const frmMain& m = main();
    EXPECT_NEAR(m.clickx, 35, 1);
    EXPECT_NEAR(m.clicky, 70, 1);
    EXPECT_EQ(slider1, m.clickx);
    EXPECT_EQ(slider2, m.clicky);
    ASSERT_EQ(m.NumPlayer, 3);
    const Player& p = m.Player[3];
    EXPECT_EQ(p.Name, "Newbie");
    EXPECT_EQ(p.Position, m.clickx) << "OK keeps the presets: the dot lands at the press";
    EXPECT_EQ(p.Importance, m.clicky);
    EXPECT_TRUE(p.LinkMain);
    EXPECT_EQ(p.Width, 62);
    EXPECT_EQ(p.x, platform::ToInt32(p.xcentre - 31.0)) << "the corner from the placed centre";
    EXPECT_TRUE(m.pbMove->isEnabled());
    EXPECT_TRUE(m.PushButton3->isEnabled());
    EXPECT_TRUE(m.FileChanged);
}

TEST_F(GraphPointerTest, CreateNewPlayerAtTheLimitOnlyShowsTheMessage)
{
    std::vector<testsupport::FixturePlayer> players;
    for (int i = 0; i <= kPlayerLimit; ++i)
        players.emplace_back("P" + std::to_string(i));
    testsupport::LoadDocument(main(), players);
    ModalScript script;
    expectMenu(script, 0);
    script.message("You have reached the limit of 50 players");
    pt::mousePress(canvas(), 300, 100, pt::NoModifier, pt::MouseButton::Right);
    EXPECT_TRUE(script.done());
    EXPECT_EQ(main().NumPlayer, kPlayerLimit);
    EXPECT_FALSE(main().FileChanged);
}

TEST_F(GraphPointerTest, EditNearestPlayerKeepsTheCornerAndCentresInPlainUnits)
{
    main().pbMove->setEnabled(false);
    ModalScript script;
    expectMenu(script, 1);
    expectEditor(script, "Edit player information", "Abc", [](frmDetails& d) {
        d.efName->setText("Abcdef");
        d.PushButton1->push();
    });
    pt::mousePress(canvas(), w().xplot[1] + 5, w().yplot[1], pt::NoModifier,
                   pt::MouseButton::Right);
    EXPECT_TRUE(script.done());
    const Player& p = main().Player[1];
    EXPECT_EQ(p.Width, 62);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.xcentre, 131) << "the corner plus half the size, without the spider mapping";
    EXPECT_EQ(p.ycentre, 115);
    EXPECT_TRUE(main().FileChanged);
    EXPECT_FALSE(main().pbMove->isEnabled()) << "an edit leaves the view buttons alone";
}

TEST_F(GraphPointerTest, EditNearestPlayerWithOnlyTheCentralIssueEditsIt)
{
    testsupport::LoadDocument(main(), {{"Issue"}});
    ModalScript script;
    expectMenu(script, 1);
    expectEditor(script, "Edit player information", "Issue");
    pt::mousePress(canvas(), 300, 100, pt::NoModifier, pt::MouseButton::Right);
    EXPECT_TRUE(script.done());
    EXPECT_TRUE(main().FileChanged);
}

TEST_F(GraphPointerTest, AnUnknownMenuTextChangesNothing)
{
    w().ContextualMenu1_Action("Something else");
    EXPECT_EQ(main().NumPlayer, 2);
    EXPECT_FALSE(main().FileChanged);
}

} // namespace
