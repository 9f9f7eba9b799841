#include "forcefield/AddNewPlayer.h"
#include "forcefield/ffield.h"

#include "graph/graph.h"

#include "app/frmDetails.h"
#include "app/frmMain.h"

#include "tests/support/app_fixture.h"
#include "tests/support/modal_script.h"
#include "tests/support/paint_counter.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

namespace pt = platform::testing;
using testsupport::ModalScript;

class AddNewPlayerTest : public testsupport::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        testsupport::LoadDocument(main(), {{"Issue", 0, 50, 353, 271}});
        pt::seedRandom(7);
    }

    // Answers the player editor as a new player's: names it and presses OK.
    static void okWithName(ModalScript& script, std::string name)
    {
        script.window([name](platform::Window& w) {
            frmDetails& d = dynamic_cast<frmDetails&>(w);
            EXPECT_EQ(d.title(), "New Player");
            EXPECT_TRUE(d.cbMain->isVisible());
            d.efName->setText(name);
            d.PushButton1->push();
        });
    }

    // The map that the canvas shows at any size, in model units, which the placement follows.
    static int32_t mapWidth() { return frmMain::kShownModelWidth; }
    static int32_t mapHeight() { return frmMain::kShownModelHeight; }
};

TEST_F(AddNewPlayerTest, TheFirstPlayerSitsNearTheTopLeftCornerWithItsBoxSized)
{
    ModalScript script;
    script.window([](platform::Window& w) {
        frmDetails& d = dynamic_cast<frmDetails&>(w);
        EXPECT_EQ(d.Slider1->value(), -10) << "a new player keeps the editor's own values";
        EXPECT_EQ(d.Slider2->value(), 40);
        d.efName->setText("Alpha");
        d.PushButton1->push();
    });
    ASSERT_TRUE(AddNewPlayer(DocumentView::ForceField));
    frmMain& m = main();
    ASSERT_EQ(m.NumPlayer, 1);
    const Player& p = m.Player[1];
    EXPECT_GE(p.xcentre, 50);
    EXPECT_LT(p.xcentre, 100);
    EXPECT_GE(p.ycentre, 50);
    EXPECT_LT(p.ycentre, 100);
    EXPECT_EQ(p.Width, 55);
    EXPECT_EQ(p.Height, 30);
    EXPECT_EQ(p.x, static_cast<int32_t>(p.xcentre - 27.5));
    EXPECT_EQ(p.y, p.ycentre - 15);
    EXPECT_TRUE(p.LinkMain);
    EXPECT_EQ(p.Position, -10);
    EXPECT_TRUE(m.FileChanged);
    for (platform::PushButton* b : {m.PushButton3, m.PushButton2, m.PushButton1, m.pbMove})
        EXPECT_TRUE(b->isEnabled());
    EXPECT_FALSE(ffield::exists()) << "a force field that is not there is not built";
}

TEST_F(AddNewPlayerTest, LaterPlayersStayInsideTheMapAtAnyWindowSize)
{
    main().setSize(900, 500);
    pt::processEvents();
    for (int i = 1; i <= 20; ++i) {
        ModalScript script;
        okWithName(script, "P" + std::to_string(i));
        ASSERT_TRUE(AddNewPlayer(DocumentView::ForceField));
        const Player& p = main().Player[i];
        if (i == 1)
            continue;
        EXPECT_LE(std::abs(p.xcentre - mapWidth() / 2.0), mapWidth() / 2.05 + 1) << i;
        EXPECT_LE(std::abs(p.ycentre - mapHeight() / 2.0), mapHeight() / 2.05 + 1) << i;
        EXPECT_GE(std::hypot((p.xcentre - mapWidth() / 2.0) / mapWidth(),
                             (p.ycentre - mapHeight() / 2.0) / mapHeight()),
                  1 / 3.05 - 0.01)
            << "at least a third of the map from its centre";
    }
}

struct TurnCase {
    const char* name;
    int32_t dx; ///< the previous player's centre from the canvas centre
    int32_t dy;
    int xSide; ///< the side of the canvas centre the new player lands on: -1, 0 (either), 1
    int ySide;
};

class PlacementTest : public AddNewPlayerTest, public ::testing::WithParamInterface<TurnCase> {};

TEST_P(PlacementTest, TurnsClockwiseFromThePreviousPlayer)
{
    const TurnCase& c = GetParam();
    frmMain& m = main();
    testsupport::LoadDocument(m, {{"Issue"}, {"Prev"}, {"New"}});
    const int32_t cx = mapWidth() / 2;
    const int32_t cy = mapHeight() / 2;
    m.Player[1].xcentre = cx + c.dx;
    m.Player[1].ycentre = cy + c.dy;
    for (unsigned seed = 1; seed <= 5; ++seed) {
        pt::seedRandom(seed);
        PlaceNewPlayer(m, 2);
        const double x = m.Player[2].xcentre - mapWidth() / 2.0;
        const double y = m.Player[2].ycentre - mapHeight() / 2.0;
        if (c.xSide != 0) {
            EXPECT_EQ(x > 0 ? 1 : -1, c.xSide) << x;
        }
        if (c.ySide != 0) {
            EXPECT_EQ(y > 0 ? 1 : -1, c.ySide) << y;
        }
        EXPECT_LE(std::abs(x), mapWidth() / 2.05 + 1);
        EXPECT_LE(std::abs(y), mapHeight() / 2.05 + 1);
    }
}

// On the screen, clockwise from the right is downwards and from the left upwards; a previous
// player straight above or below the centre sends the new one to the far side.
INSTANTIATE_TEST_SUITE_P(Turns, PlacementTest,
                         ::testing::Values(TurnCase{"FromTheRight", 200, 0, 1, 1},
                                           TurnCase{"FromTheLeft", -200, 0, -1, -1},
                                           TurnCase{"FromStraightAbove", 0, -150, -1, 1},
                                           TurnCase{"FromStraightBelow", 0, 150, 1, -1},
                                           TurnCase{"FromTheCentreItself", 0, 0, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AddNewPlayerTest, FiftyIsTheLimit)
{
    std::vector<testsupport::FixturePlayer> players{{"Issue"}};
    for (int i = 1; i < kPlayerLimit; ++i)
        players.emplace_back("P" + std::to_string(i));
    testsupport::LoadDocument(main(), players);
    {
        ModalScript script;
        okWithName(script, "Last");
        ASSERT_TRUE(AddNewPlayer(DocumentView::ForceField));
    }
    EXPECT_EQ(main().NumPlayer, kPlayerLimit);
    EXPECT_EQ(main().Player[kPlayerLimit].Name, "Last");
    main().FileChanged = false;
    ModalScript script;
    script.message("You have reached the limit of 50 players");
    EXPECT_FALSE(AddNewPlayer(DocumentView::ForceField));
    EXPECT_EQ(main().NumPlayer, kPlayerLimit);
    EXPECT_FALSE(main().FileChanged);
}

TEST_F(AddNewPlayerTest, DeleteInTheEditorLeavesTheDocumentAsItWasButChanged)
{
    testsupport::LoadDocument(main(), {{"Issue"}, {"A"}, {"B"}});
    const Player before = main().Player[2];
    ModalScript script;
    script.window([](platform::Window& w) { dynamic_cast<frmDetails&>(w).PushButton2->push(); });
    EXPECT_TRUE(AddNewPlayer(DocumentView::ForceField));
    EXPECT_EQ(main().NumPlayer, 2);
    EXPECT_EQ(main().Player[2].Name, before.Name);
    EXPECT_EQ(main().Player[2].x, before.x);
    EXPECT_TRUE(main().FileChanged);
    EXPECT_TRUE(main().pbMove->isEnabled());
}

TEST_F(AddNewPlayerTest, TheGraphsPresetsReachTheSliders)
{
    ModalScript script;
    script.window([](platform::Window& w) {
        frmDetails& d = dynamic_cast<frmDetails&>(w);
        EXPECT_EQ(d.Slider1->value(), 30);
        EXPECT_EQ(d.Slider2->value(), 70);
        d.PushButton1->push();
    });
    AddNewPlayer(DocumentView::Graph, {30, 70});
    EXPECT_EQ(main().Player[1].Position, 30);
    EXPECT_EQ(main().Player[1].Importance, 70);
}

TEST_F(AddNewPlayerTest, RunFromTheGraphItRepaintsTheGraph)
{
    graph& g = graph::instance();
    pt::processEvents();
    testsupport::PaintCounter paints(*g.cGraph);
    ModalScript script;
    okWithName(script, "Graphed");
    ASSERT_TRUE(AddNewPlayer(DocumentView::Graph, {30, 70}));
    EXPECT_TRUE(paints.waitForPaint()) << "the graph does not show its new player";
    EXPECT_FALSE(ffield::exists()) << "nor is a force field built for it";
}

TEST_F(AddNewPlayerTest, TheForceFieldsButtonAddsAPlayer)
{
    ffield& w = ffield::instance();
    ModalScript script;
    okWithName(script, "Button");
    w.pbAddPlayer->push();
    ASSERT_EQ(main().NumPlayer, 1);
    EXPECT_EQ(main().Player[1].Name, "Button");
}

TEST_F(AddNewPlayerTest, WithoutADocumentNothingIsAdded)
{
    main().NumPlayer = -1;
    EXPECT_FALSE(AddNewPlayer(DocumentView::ForceField));
    EXPECT_EQ(main().NumPlayer, -1);
    EXPECT_FALSE(frmDetails::exists());
}

} // namespace
