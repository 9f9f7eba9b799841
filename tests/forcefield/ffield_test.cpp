#include "tests/forcefield/forcefield_fixture.h"

#include "app/Companions.h"
#include "app/Menu.h"
#include "app/frmDetails.h"
#include "app/frmMain.h"

#include "spider/wSwing.h"

#include "tests/support/modal_script.h"

#include "platform/menu.h"

#include <string>
#include <vector>

namespace {

namespace pt = platform::testing;
using testsupport::Kind;
using testsupport::ModalAnswer;
using testsupport::ModalRequest;
using testsupport::ModalScript;

using ForceFieldWindowTest = fftest::ForceFieldTest;

// --- Open, hide, close ---

TEST_F(ForceFieldWindowTest, OpensWithItsControlsAndSetsFfing)
{
    ffield& w = ff();
    EXPECT_EQ(w.title(), "Force Field Analysis");
    EXPECT_EQ(w.width(), 674);
    EXPECT_EQ(w.height(), 707);
    EXPECT_EQ(w.cGraph->width(), fftest::kCanvasWidth);
    EXPECT_EQ(w.cGraph->height(), fftest::kCanvasHeight);
    EXPECT_TRUE(w.CheckBox1->value());
    EXPECT_TRUE(w.CheckBox2->value());
    EXPECT_TRUE(w.CaptionsOn);
    EXPECT_TRUE(w.background);
    EXPECT_TRUE(main().ffing);
    EXPECT_EQ(w.ContextualMenu1->rows(),
              (std::vector<std::string>{"Create New Player", "Edit Nearest Player", "Swap Sides"}));
    EXPECT_EQ(w.arrow[1], -10);
    EXPECT_EQ(w.arrow[2], -50);
    EXPECT_EQ(w.arrowd[2], 50) << "the up arrow mirrors the down arrow";
}

TEST_F(ForceFieldWindowTest, CloseOnlyHidesAndTheButtonShowsTheSameWindowAgain)
{
    ff().CheckBox1->setValue(false);
    ffield* before = &ff();
    ff().PushButton1->push();
    EXPECT_FALSE(ff().isVisible());
    EXPECT_TRUE(main().ffing);
    main().PushButton3->setEnabled(true);
    main().PushButton3->push();
    EXPECT_EQ(&ff(), before);
    EXPECT_TRUE(ff().isVisible());
    EXPECT_FALSE(ff().CaptionsOn) << "the settings stay";
}

TEST_F(ForceFieldWindowTest, ReturnPressesClose)
{
    pt::typeKey(ff(), "Return");
    EXPECT_FALSE(ff().isVisible());
    EXPECT_TRUE(ffield::exists());
}

TEST_F(ForceFieldWindowTest, TheCloseBoxClosesForGoodAndClearsFfing)
{
    ff().CheckBox2->setValue(false);
    pt::clickCloseBox(ff());
    pt::processEvents();
    EXPECT_FALSE(ffield::exists());
    EXPECT_FALSE(main().ffing);
    // The player editor's OK no longer reaches the force field, and asking builds nothing.
    RefreshForceFieldCanvas();
    CloseForceField();
    EXPECT_FALSE(ffield::exists());
    ShowForceField();
    ASSERT_TRUE(ffield::exists());
    EXPECT_TRUE(ff().CheckBox2->value()) << "a fresh window";
    EXPECT_TRUE(ff().background);
    EXPECT_TRUE(main().ffing);
}

TEST_F(ForceFieldWindowTest, ResizingMovesTheBottomRowButNotAddPlayer)
{
    ff().setSize(774, 807);
    pt::processEvents();
    EXPECT_EQ(ff().cGraph->width(), 746);
    EXPECT_EQ(ff().cGraph->height(), 752);
    EXPECT_EQ(ff().PushButton1->left(), 679);
    EXPECT_EQ(ff().PushButton1->top(), 777);
    EXPECT_EQ(ff().CheckBox2->left(), 393);
    EXPECT_EQ(ff().pbAddPlayer->left(), 14);
    EXPECT_EQ(ff().pbAddPlayer->top(), 677);
}

TEST_F(ForceFieldWindowTest, EnablesItsSevenMenuItemsAndNoOthers)
{
    pt::activate(ff());
    Menu::instance().updateEnabling();
    for (const char* name : {"FilePageSetup", "FilePrint", "FileSaveasPicture", "ShowMakeHarder",
                             "ShowMakeEasier", "ShowMorePolarized", "ShowSwingometer"})
        EXPECT_TRUE(Menu::instance().item(name)->isEnabled()) << name;
    for (const char* name : {"FileNew", "FileOpen", "FileSave", "FileSaveSet", "FileExportData"})
        EXPECT_FALSE(Menu::instance().item(name)->isEnabled()) << name;
}

// --- The contextual menu ---

class ContextualMenuTest : public fftest::ForceFieldTest {
protected:
    // The menu's rows; it answers by choosing `row`.
    static void chooseRow(ModalScript& script, int row)
    {
        script.expect(Kind::ContextualMenu, [row](const ModalRequest& r) {
            EXPECT_EQ(r.buttons, (std::vector<std::string>{"Create New Player",
                                                           "Edit Nearest Player", "Swap Sides"}));
            return ModalAnswer::button(row);
        });
    }

    // A contextual click in player i's column (107 apart from x = 10 in the fixture).
    void rightClick(int32_t player)
    {
        paint();
        const int32_t x = 10 + 107 * player;
        pt::mousePress(*ff().cGraph, x, 200, pt::NoModifier, pt::MouseButton::Right);
        pt::mouseRelease(*ff().cGraph, x, 500, pt::NoModifier, pt::MouseButton::Right);
    }

    void choose(int32_t player, int row)
    {
        ModalScript script;
        chooseRow(script, row);
        rightClick(player);
    }
};

TEST_F(ContextualMenuTest, SwapSidesNegatesThePickedPlayerAndTwiceRestoresIt)
{
    choose(2, 2);
    EXPECT_EQ(main().Player[2].Position, 10);
    EXPECT_EQ(main().Player[2].Importance, 40) << "the release after the menu changes nothing";
    EXPECT_TRUE(main().FileChanged);
    choose(2, 2);
    EXPECT_EQ(main().Player[2].Position, -10);
}

TEST_F(ContextualMenuTest, SwapSidesLeavesAnUnknownPlayerAndReachesANeutralOne)
{
    choose(4, 2);
    EXPECT_EQ(main().Player[4].Position, 30) << "a player without an arrow stays as it was";
    EXPECT_FALSE(main().FileChanged);
    choose(3, 2);
    EXPECT_EQ(main().Player[3].Position, 0);
    EXPECT_TRUE(main().FileChanged);
}

TEST_F(ContextualMenuTest, EditNearestPlayerEditsAndResizesTheBox)
{
    ModalScript script;
    chooseRow(script, 1);
    script.window([](platform::Window& w) {
        frmDetails& d = dynamic_cast<frmDetails&>(w);
        EXPECT_EQ(d.title(), "Edit player information");
        EXPECT_EQ(d.efName->text(), "Alpha");
        d.PushButton1->push();
    });
    Player& p = main().Player[1];
    p.Width = 1;
    p.xcentre = -1;
    rightClick(1);
    EXPECT_EQ(p.Width, 55);
    EXPECT_EQ(p.xcentre, p.x + 27);
    EXPECT_TRUE(main().FileChanged);
}

TEST_F(ContextualMenuTest, WithOnlyTheCentralIssueTheCommandsActOnIt)
{
    testsupport::LoadDocument(main(), {{"Issue", 20, 50}});
    choose(1, 2);
    EXPECT_EQ(main().Player[0].Position, -20);
    ModalScript script;
    chooseRow(script, 1);
    script.window([](platform::Window& w) {
        frmDetails& d = dynamic_cast<frmDetails&>(w);
        EXPECT_EQ(d.title(), "Edit player information");
        EXPECT_EQ(d.efName->text(), "Issue");
        d.PushButton1->push();
    });
    rightClick(1);
    EXPECT_TRUE(script.done());
}

TEST_F(ContextualMenuTest, CreateNewPlayerAtTheLimitChangesNothing)
{
    std::vector<testsupport::FixturePlayer> players{{"Issue"}};
    for (int i = 1; i <= kPlayerLimit; ++i)
        players.emplace_back("P" + std::to_string(i), 10, 10);
    testsupport::LoadDocument(main(), players);
    ModalScript script;
    chooseRow(script, 0);
    script.message("You have reached the limit of 50 players");
    rightClick(1);
    EXPECT_EQ(main().NumPlayer, kPlayerLimit);
    EXPECT_FALSE(main().FileChanged);
}

TEST_F(ContextualMenuTest, CreateNewPlayerAddsOne)
{
    ModalScript script;
    chooseRow(script, 0);
    script.window([](platform::Window& w) {
        frmDetails& d = dynamic_cast<frmDetails&>(w);
        EXPECT_EQ(d.title(), "New Player");
        d.efName->setText("Echo");
        d.PushButton1->push();
    });
    rightClick(1);
    ASSERT_EQ(main().NumPlayer, 5);
    EXPECT_EQ(main().Player[5].Name, "Echo");
}

// --- The Show menu ---

struct ShowCase {
    const char* name;
    const char* item;
    std::vector<int32_t> before; ///< positions of players 1..n
    std::vector<int32_t> after;
};

class ShowMenuTest : public fftest::ForceFieldTest,
                     public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ShowMenuTest, MovesEveryKnownPlayerButTheCentralIssue)
{
    const ShowCase& c = GetParam();
    std::vector<testsupport::FixturePlayer> players{{"Issue", 7, 50}};
    for (int32_t position : c.before)
        players.emplace_back("P", position, 50);
    players.emplace_back("Unknown", 95, 50, 100, 100, "", true, true);
    testsupport::LoadDocument(main(), players);
    pt::activate(ff());
    ASSERT_TRUE(pt::chooseMenuItem(c.item));
    for (size_t i = 0; i < c.after.size(); ++i)
        EXPECT_EQ(main().Player[i + 1].Position, c.after[i]) << "player " << i + 1;
    EXPECT_EQ(main().Player[0].Position, 7);
    EXPECT_EQ(main().Player[c.before.size() + 1].Position, 95);
    EXPECT_TRUE(main().FileChanged);
}

INSTANTIATE_TEST_SUITE_P(Commands, ShowMenuTest,
                         ::testing::Values(ShowCase{"MakeEasier",
                                                    "ShowMakeEasier",
                                                    {95, 100, -100, 150, -150, -10},
                                                    {100, 100, -90, 100, -140, 0}},
                                           ShowCase{"MakeHarder",
                                                    "ShowMakeHarder",
                                                    {-95, -100, 100, -150, 150, 10},
                                                    {-100, -100, 90, -100, 140, 0}},
                                           ShowCase{
                                               "MorePolarized",
                                               "ShowMorePolarized",
                                               {0, 1, -1, 95, -95, 100, -100, 150, -150},
                                               {-10, 11, -11, 100, -100, 100, -100, 100, -100}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ForceFieldWindowTest, ShowCommandsMarkTheDocumentChangedAndTheSwitchShowsTheSwingometer)
{
    testsupport::LoadDocument(main(), {{"Issue"}});
    ff()._ShowMakeEasier_Action();
    EXPECT_TRUE(main().FileChanged) << "also when nothing moved";
    ff()._ShowMakeHarder_Action();
    ff()._ShowMorePolarized_Action();
    main().FileChanged = false;
    main().Swinging = false;
    ff()._ShowSwingometer_Action();
    EXPECT_TRUE(main().Swinging);
    EXPECT_TRUE(wSwing::instance().isVisible());
    EXPECT_FALSE(main().FileChanged);
}

TEST_F(ForceFieldWindowTest, TheSwingometerSwitchFollowsTheWindow)
{
    CreateSwingometerHidden();
    main().Swinging = true; // as the player editor leaves it
    ff()._ShowSwingometer_Action();
    EXPECT_TRUE(main().Swinging);
    EXPECT_TRUE(wSwing::instance().isVisible()) << "one command shows the hidden gauge";
    ff()._ShowSwingometer_Action();
    EXPECT_FALSE(main().Swinging);
    EXPECT_FALSE(wSwing::instance().isVisible());
}

} // namespace
