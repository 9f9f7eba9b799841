#include "app/frmDetails.h"
#include "app/wtoolbar.h"

#include "forcefield/ffield.h"
#include "graph/graph.h"
#include "spider/wSliders.h"
#include "spider/wSwing.h"

#include "tests/support/app_fixture.h"
#include "tests/support/modal_script.h"

#include "platform/system.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

namespace pt = platform::testing;
using testsupport::AppTest;

TEST(ToolbarPicturesTest, EachIsFetchedOnceByItsNumber)
{
    platform::setResourceFolder(KESTRIX_RESOURCES);
    const platform::Picture* spider = img_spider();
    ASSERT_NE(spider, nullptr);
    EXPECT_EQ(img_spider(), spider) << "cached";
    for (const platform::Picture* pic : {img_ff(), img_graph(), img_swing()}) {
        ASSERT_NE(pic, nullptr);
        EXPECT_GT(pic->width(), 8);
    }
}

class wtoolbarTest : public AppTest {};

TEST_F(wtoolbarTest, StaysInsideTheScreenAtTheBottomRight)
{
    platform::testing::setScreenSize(1280, 1024);
    wtoolbar& bar = wtoolbar::instance();
    bar.show();
    platform::testing::processEvents();
    bar.PlaceAtBottomRight();
    EXPECT_EQ(bar.title(), "View");
    EXPECT_EQ(bar.left() + bar.frameWidth(), 1280);
    EXPECT_EQ(bar.top() + bar.frameHeight(), 1024);
    EXPECT_GE(bar.top(), 0);
}

TEST_F(wtoolbarTest, TheOtherViewsNeedAPlayerBesidesTheCentralIssue)
{
    testsupport::LoadDocument(main(), {{"Issue"}});
    wtoolbar& bar = wtoolbar::instance();
    bar.ToolbarItem4->push();
    platform::testing::processEvents();
    EXPECT_FALSE(main().Swinging);
    EXPECT_FALSE(wSwing::exists() && wSwing::instance().isVisible());
    testsupport::LoadDocument(main(), {{"Issue"}, {"Unions"}});
    bar.ToolbarItem4->push();
    platform::testing::processEvents();
    EXPECT_TRUE(main().Swinging);
    EXPECT_TRUE(wSwing::exists() && wSwing::instance().isVisible()) << "the user sees it";
}

bool overlaps(const platform::Rect& a, const platform::Rect& b)
{
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// The controls of the program's other windows that the toolbar lies over: all but a window's
// drawing, the canvas that fills it, over which it may float where nothing else leaves it room.
std::string controlsUnderTheToolbar()
{
    const platform::Rect bar = pt::frameOnScreen(wtoolbar::instance());
    std::ostringstream hidden;
    for (platform::Window* w : platform::openWindows()) {
        if (w == &wtoolbar::instance() || !w->isVisible() || pt::isMinimised(*w))
            continue;
        for (const auto& [control, rect] : pt::controlsOnScreen(*w)) {
            const bool drawing =
                control && (control->name() == "cGraph" ||
                            (w == &frmMain::instance() && control->name() == "Canvas1"));
            if (!drawing && overlaps(bar, rect))
                hidden << w->title() << ": " << (control ? control->name() : "menu bar") << "; ";
        }
    }
    return hidden.str();
}

// Wherever the program's windows stand, maximised or put at the bottom right where the
// toolbar first stands, the toolbar hides none of their controls.
struct ClearanceCase {
    const char* name;
    std::function<void(frmMain&)> arrange;
};

void putAtBottomRight(platform::Window& w)
{
    const platform::Rect frame = pt::frameOnScreen(w);
    w.setLeft(1280 - frame.width);
    w.setTop(1024 - frame.height);
}

class ToolbarClearanceTest : public AppTest, public ::testing::WithParamInterface<ClearanceCase> {};

TEST_P(ToolbarClearanceTest, HidesNoControlOfAnotherWindow)
{
    pt::setScreenSize(1280, 1024);
    testsupport::LoadDocument(main(), {{"Issue"}, {"Unions", -40, 50}, {"Mayor", 60, 70}});
    wtoolbar& bar = wtoolbar::instance();
    bar.show();
    bar.PlaceAtBottomRight();
    pt::processEvents();
    GetParam().arrange(main());
    pt::processEvents();
    EXPECT_TRUE(bar.isVisible());
    EXPECT_EQ(controlsUnderTheToolbar(), "");
    const platform::Rect frame = pt::frameOnScreen(bar);
    EXPECT_GE(frame.left, 0);
    EXPECT_GE(frame.top, 0);
    EXPECT_LE(frame.left + frame.width, 1280);
    EXPECT_LE(frame.top + frame.height, 1024);
}

INSTANTIATE_TEST_SUITE_P(Windows, ToolbarClearanceTest,
                         ::testing::Values(ClearanceCase{"MaximisedMainWindow",
                                                         [](frmMain& m) { pt::maximise(m); }},
                                           ClearanceCase{"MaximisedMainWindowAndTheSliders",
                                                         [](frmMain& m) {
                                                             pt::maximise(m);
                                                             m.PushButton2->push();
                                                             pt::processEvents();
                                                             putAtBottomRight(wSliders::instance());
                                                         }},
                                           ClearanceCase{"MainWindowAtTheBottomRight",
                                                         [](frmMain& m) { putAtBottomRight(m); }},
                                           ClearanceCase{"MaximisedForceField",
                                                         [](frmMain& m) {
                                                             m.PushButton3->push();
                                                             pt::processEvents();
                                                             pt::maximise(ffield::instance());
                                                         }},
                                           ClearanceCase{"MaximisedGraph",
                                                         [](frmMain& m) {
                                                             m.pbMove->push();
                                                             pt::processEvents();
                                                             pt::maximise(graph::instance());
                                                         }}),
                         [](const auto& info) { return std::string(info.param.name); });

// A modal window, too: the player editor put where the toolbar stands keeps its key message
// and buttons in sight.
TEST_F(wtoolbarTest, TheToolbarKeepsClearOfTheOpenPlayerEditor)
{
    pt::setScreenSize(1280, 1024);
    testsupport::LoadDocument(main(), {{"Issue"}, {"Unions", -40, 50}});
    wtoolbar::instance().show();
    wtoolbar::instance().PlaceAtBottomRight();
    pt::processEvents();
    main().Current = 1;
    testsupport::ModalScript script;
    std::string hidden = "not shown";
    script.window([&hidden](platform::Window& w) {
        putAtBottomRight(w);
        pt::processEvents();
        hidden = controlsUnderTheToolbar();
        dynamic_cast<frmDetails&>(w).PushButton1->push();
    });
    EditPlayerModally({});
    EXPECT_TRUE(script.done());
    EXPECT_EQ(hidden, "");
}

// Once the user has put the toolbar somewhere, it stays there; where nothing is in its way it
// stands at the bottom right.
TEST_F(wtoolbarTest, TheToolbarStaysWhereTheUserPutsIt)
{
    pt::setScreenSize(1280, 1024);
    testsupport::LoadDocument(main(), {{"Issue"}, {"Unions", -40, 50}});
    wtoolbar& bar = wtoolbar::instance();
    bar.show();
    bar.PlaceAtBottomRight();
    pt::processEvents();
    const platform::Rect first = pt::frameOnScreen(bar);
    EXPECT_EQ(first.left + first.width, 1280);
    EXPECT_EQ(first.top + first.height, 1024);

    pt::moveAsUser(bar, 400, 300);
    pt::maximise(main());
    main().PushButton2->push();
    pt::processEvents();
    EXPECT_EQ(bar.left(), 400);
    EXPECT_EQ(bar.top(), 300);
}

// Each item brings its window to the front, also when the user had minimised it.
struct BringBackCase {
    const char* name;
    platform::ToolbarItem* wtoolbar::*item;
    std::function<platform::Window&()> window;
};

class BringBackTest : public AppTest, public ::testing::WithParamInterface<BringBackCase> {};

TEST_P(BringBackTest, RestoresTheItemsWindowFromMinimised)
{
    testsupport::LoadDocument(main(), {{"Issue"}, {"Unions", 20, 50}});
    platform::Window& w = GetParam().window();
    w.show();
    platform::testing::processEvents();
    platform::testing::minimise(w);
    ASSERT_TRUE(platform::testing::isMinimised(w));
    (wtoolbar::instance().*GetParam().item)->push();
    platform::testing::processEvents();
    EXPECT_FALSE(platform::testing::isMinimised(w));
    EXPECT_TRUE(w.isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Items, BringBackTest,
    ::testing::Values(BringBackCase{"Spider", &wtoolbar::ToolbarItem1,
                                    []() -> platform::Window& { return frmMain::instance(); }},
                      BringBackCase{"ForceField", &wtoolbar::ToolbarItem2,
                                    []() -> platform::Window& { return ffield::instance(); }},
                      BringBackCase{"Graph", &wtoolbar::ToolbarItem3,
                                    []() -> platform::Window& { return graph::instance(); }},
                      BringBackCase{"Swing", &wtoolbar::ToolbarItem4,
                                    []() -> platform::Window& { return wSwing::instance(); }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
