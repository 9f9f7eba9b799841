#include "app/Menu.h"
#include "app/frmMain.h"

#include "tests/support/app_fixture.h"
#include "tests/support/modal_script.h"
#include "tests/support/paint_counter.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using platform::testing::activate;
using platform::testing::chooseMenuItem;

class frmMainTest : public testsupport::AppTest {};

TEST_F(frmMainTest, StartsWithANewDiagramAndItsViewButtons)
{
    frmMain& w = main();
    EXPECT_EQ(w.NumPlayer, 0);
    EXPECT_EQ(w.title(), "Varnholt");
    for (platform::PushButton* b : {w.pbMove, w.PushButton1, w.PushButton2, w.PushButton3})
        EXPECT_TRUE(b->isEnabled()) << b->name();
    EXPECT_EQ(w.pbMove->caption(), "Graph");
    EXPECT_EQ(w.PushButton3->caption(), "Force Field");
    EXPECT_EQ(w.width(), 772);
    EXPECT_EQ(w.height(), 624) << "the menu bar is not part of the content";
}

TEST_F(frmMainTest, EveryFileItemIsEnabledWhileTheMainWindowIsFrontmost)
{
    main();
    Menu::instance().updateEnabling();
    for (const auto& item : Menu::instance().child("UntitledMenu2")->children())
        EXPECT_TRUE(item->isEnabled()) << item->name();
    for (const auto& item : Menu::instance().child("ShowMenu")->children())
        EXPECT_TRUE(item->isEnabled()) << item->name();
    for (const auto& item : Menu::instance().child("UntitledMenu0")->children())
        EXPECT_FALSE(item->isEnabled()) << item->name();
    testsupport::ModalScript script;
    script.cancel(testsupport::Kind::SaveFile);
    EXPECT_TRUE(chooseMenuItem("FileExportData")) << "dispatched to the main window's export";
    EXPECT_TRUE(script.done());
    EXPECT_FALSE(chooseMenuItem("EditCopy"));
}

TEST_F(frmMainTest, EverythingButQuitIsDisabledWithoutADocumentWindowInFront)
{
    frmMain& w = main();
    w.hide();
    Menu::instance().updateEnabling();
    EXPECT_FALSE(Menu::instance().item("FileNew")->isEnabled());
    EXPECT_FALSE(Menu::instance().item("FilePrint")->isEnabled());
    EXPECT_TRUE(Menu::instance().item("FileQuit")->isEnabled());
    EXPECT_FALSE(Menu::instance().item("ShowMakeEasier")->isEnabled()) << "nothing would answer it";
}

TEST_F(frmMainTest, ResizingKeepsTheControlsAtTheirEdges)
{
    frmMain& w = main();
    w.setSize(1000, 800);
    platform::testing::processEvents();
    ASSERT_EQ(w.width(), 1000);
    // The canvas keeps 9 pixels to the left, 7 to the top and right, 35 to the bottom.
    EXPECT_EQ(w.Canvas1->left(), 9);
    EXPECT_EQ(w.Canvas1->top(), 7);
    EXPECT_EQ(w.Canvas1->width(), 1000 - 9 - 7);
    EXPECT_EQ(w.Canvas1->height(), 800 - 7 - 35);
    // The buttons keep their distances to the right and bottom edges.
    EXPECT_EQ(w.pbMove->left(), 683 + 228);
    EXPECT_EQ(w.pbMove->top(), 597 + 176);
    EXPECT_EQ(w.PushButton3->left(), 422 + 228);
    // The legend and its labels keep their left position and their distance to the bottom.
    EXPECT_EQ(w.Canvas2->left(), 52);
    EXPECT_EQ(w.Canvas2->top(), 596 + 176);
    EXPECT_EQ(w.StaticText1->left(), 15);
    EXPECT_EQ(w.stSwing->top(), 594 + 176);
}

// The legend, its labels and the average never lie under a view button, nor over the canvas,
// at any size the window takes, down to its smallest.
class LegendPlaceTest : public frmMainTest,
                        public ::testing::WithParamInterface<std::pair<int32_t, int32_t>> {};

TEST_P(LegendPlaceTest, TheLegendStaysClearOfTheButtonsAndTheCanvas)
{
    frmMain& w = main();
    const auto [width, height] = GetParam();
    w.setSize(width, height);
    platform::testing::processEvents();
    EXPECT_EQ(w.width(), std::max(width, frmMain::kMinimumWidth));
    EXPECT_EQ(w.height(), std::max(height, frmMain::kMinimumHeight));
    // Apart by at least 4 pixels; the labels may grow a little to show their text.
    auto apart = [](const platform::Control& a, const platform::Control& b) {
        return a.left() + a.width() + 4 <= b.left() || b.left() + b.width() + 4 <= a.left() ||
               a.top() + a.height() <= b.top() || b.top() + b.height() <= a.top();
    };
    const std::vector<const platform::Control*> legend{w.Canvas2, w.StaticText1, w.StaticText2,
                                                       w.stSwing};
    for (const platform::Control* part : legend) {
        for (const platform::Control* button :
             {w.pbMove, w.PushButton1, w.PushButton2, w.PushButton3})
            EXPECT_TRUE(apart(*part, *button)) << part->name() << " and " << button->name();
        EXPECT_TRUE(apart(*part, *w.Canvas1)) << part->name();
        EXPECT_LE(part->top() + part->height(), w.height()) << part->name();
    }
    EXPECT_GE(w.PushButton3->left(), 0) << "every button in the window";
    EXPECT_GT(w.Canvas1->height(), 100);
}

INSTANTIATE_TEST_SUITE_P(Sizes, LegendPlaceTest,
                         ::testing::Values(std::pair(772, 624), std::pair(688, 500),
                                           std::pair(520, 420), std::pair(64, 64)),
                         [](const auto& info) {
                             return std::to_string(info.param.first) + "x" +
                                    std::to_string(info.param.second);
                         });

} // namespace

namespace {

TEST_F(frmMainTest, ARefreshPaintsTheSpiderPlotAndItsLegendOnceEach)
{
    frmMain& w = main();
    testsupport::LoadDocument(w, {{"Issue", 0, 50, 353, 271}, {"A", 40, 80}, {"B", -40, 30}});
    platform::testing::processEvents();
    // The plot's paint asks for the legend's repaint, which the same pass paints afterwards.
    testsupport::PaintCounter plot(*w.Canvas1);
    testsupport::PaintCounter legend(*w.Canvas2);
    w.refresh();
    platform::testing::finishPaints();
    EXPECT_EQ(plot.count(), 1);
    EXPECT_EQ(legend.count(), 1);
}

} // namespace
