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

class wtoolbarTest : public AppTest {
protected:
    // A 1280 by 1024 screen, a document of these players, and the toolbar shown in its place.
    wtoolbar& showToolbar(const std::vector<testsupport::FixturePlayer>& players = {
                              {"Issue"}, {"Unions", -40, 50}, {"Mayor", 60, 70}})
    {
        pt::setScreenSize(1280, 1024);
        testsupport::LoadDocument(main(), players);
        wtoolbar& bar = wtoolbar::instance();
        bar.show();
        bar.PlaceAtBottomRight();
        pt::processEvents();
        return bar;
    }
};

// Where a window's control stands on the screen.
platform::Rect onScreen(const platform::Window& window, const platform::Control* control)
{
    for (const auto& [shown, rect] : pt::controlsOnScreen(window))
        if (shown == control)
            return rect;
    return {};
}

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

// Put by the user partly off the screen, the toolbar comes back inside it, as near as it fits.
TEST_F(wtoolbarTest, TheToolbarTheUserPutsOffTheScreenComesBackInside)
{
    wtoolbar& bar = showToolbar();
    pt::moveAsUser(bar, 1280 - 40, -30);
    const platform::Rect frame = pt::frameOnScreen(bar);
    EXPECT_EQ(frame.left + frame.width, 1280) << "against the right edge";
    EXPECT_EQ(frame.top, 0) << "against the top";
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

// The controls of the program's other windows that a floating window lies over: all but a
// window's drawing, the canvas that fills it, over which it may float where nothing else leaves
// it room.
std::string controlsUnder(platform::Window& floating, platform::Window* only = nullptr)
{
    const platform::Rect bar = pt::frameOnScreen(floating);
    std::ostringstream hidden;
    for (platform::Window* w : platform::openWindows()) {
        if (w == &floating || w == &wtoolbar::instance() || w == &wSwing::instance() ||
            !w->isVisible() || pt::isMinimised(*w) || (only && w != only))
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

std::string controlsUnderTheToolbar()
{
    return controlsUnder(wtoolbar::instance());
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

class ToolbarClearanceTest : public wtoolbarTest,
                             public ::testing::WithParamInterface<ClearanceCase> {};

TEST_P(ToolbarClearanceTest, HidesNoControlOfAnotherWindow)
{
    wtoolbar& bar = showToolbar();
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
                                                             m.PushButton2_Action();
                                                             pt::processEvents();
                                                             putAtBottomRight(wSliders::instance());
                                                         }},
                                           ClearanceCase{"MainWindowAtTheBottomRight",
                                                         [](frmMain& m) { putAtBottomRight(m); }},
                                           ClearanceCase{"MaximisedForceField",
                                                         [](frmMain& m) {
                                                             m.PushButton3_Action();
                                                             pt::processEvents();
                                                             pt::maximise(ffield::instance());
                                                         }},
                                           ClearanceCase{"MaximisedGraph",
                                                         [](frmMain& m) {
                                                             m.pbMove_Action();
                                                             pt::processEvents();
                                                             pt::maximise(graph::instance());
                                                         }}),
                         [](const auto& info) { return std::string(info.param.name); });

// The toolbar moves no further than it must: beside a maximised main window it stays on the
// screen's bottom edge, just left of the view buttons it would otherwise hide.
TEST_F(wtoolbarTest, TheToolbarMovesNoFurtherThanItMust)
{
    wtoolbar& bar = showToolbar();
    pt::maximise(main());
    pt::processEvents();
    const platform::Rect frame = pt::frameOnScreen(bar);
    const platform::Rect forceField = onScreen(main(), main().PushButton3);
    EXPECT_EQ(frame.top + frame.height, 1024);
    EXPECT_EQ(frame.left + frame.width, forceField.left);
}

// A modal window, too: the player editor put where the toolbar stands keeps its key message
// and buttons in sight.
TEST_F(wtoolbarTest, TheToolbarKeepsClearOfTheOpenPlayerEditor)
{
    showToolbar();
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
    wtoolbar& bar = showToolbar();
    const platform::Rect first = pt::frameOnScreen(bar);
    EXPECT_EQ(first.left + first.width, 1280);
    EXPECT_EQ(first.top + first.height, 1024);

    pt::moveAsUser(bar, 400, 300);
    pt::maximise(main());
    main().PushButton2_Action();
    pt::processEvents();
    EXPECT_EQ(bar.left(), 400);
    EXPECT_EQ(bar.top(), 300);
}

// The toolbar the user put somewhere steps aside from a window that opens under it, to hide
// none of its controls, and goes back where the user put it once that window has gone.
TEST_F(wtoolbarTest, TheToolbarTheUserPutStepsAsideFromAWindowOpenedUnderIt)
{
    wtoolbar& bar = showToolbar();
    // Where the sliders window opens, and its "Close" button there.
    main().PushButton2_Action();
    pt::processEvents();
    const platform::Rect close = onScreen(wSliders::instance(), wSliders::instance().PushButton2);
    ASSERT_GT(close.width, 0);
    wSliders::instance().close();
    pt::processEvents();

    pt::moveAsUser(bar, close.left - 20, close.top - 10);
    EXPECT_EQ(controlsUnder(bar), "");
    const int32_t putLeft = bar.left();
    const int32_t putTop = bar.top();
    const platform::Rect slidersFrame = [&] {
        main().PushButton2_Action();
        pt::processEvents();
        return pt::frameOnScreen(wSliders::instance());
    }();
    EXPECT_EQ(controlsUnder(bar, &wSliders::instance()), "");
    EXPECT_EQ(pt::frameOnScreen(wSliders::instance()).left, slidersFrame.left)
        << "the window opened where it opens";
    EXPECT_TRUE(bar.left() != putLeft || bar.top() != putTop) << "it stepped aside";
    wSliders::instance().close();
    pt::processEvents();
    EXPECT_EQ(bar.left(), putLeft) << "back where the user put it";
    EXPECT_EQ(bar.top(), putTop);
}

// The swing-o-meter floats above the other windows as the toolbar does, and so keeps clear of
// their controls too: shown over the graph, it moves off the graph's controls; and put by the
// user where the graph then opens, it steps aside from the graph's controls, and off the
// toolbar.
TEST_F(wtoolbarTest, TheSwingometerHidesNoControlOfAnotherWindow)
{
    pt::setScreenSize(1280, 1024);
    testsupport::LoadDocument(main(), {{"Issue"}, {"Unions", -40, 50}, {"Mayor", 60, 70}});
    wtoolbar::instance().hide();
    main().pbMove_Action(); // the graph
    pt::processEvents();
    platform::Window& gauge = wSwing::instance();
    main()._ShowSwingometer_Action();
    pt::processEvents();
    ASSERT_TRUE(gauge.isVisible());
    EXPECT_EQ(controlsUnder(gauge), "");

    const platform::Rect graphFrame = pt::frameOnScreen(graph::instance());
    graph::instance().close();
    pt::processEvents();
    pt::moveAsUser(gauge, graphFrame.left + graphFrame.width - 60,
                   graphFrame.top + graphFrame.height - 40);
    main().pbMove_Action();
    pt::processEvents();
    EXPECT_EQ(controlsUnder(gauge, &graph::instance()), "");
    wtoolbar::instance().show();
    pt::processEvents();
    const platform::Rect a = pt::frameOnScreen(gauge);
    const platform::Rect b = pt::frameOnScreen(wtoolbar::instance());
    EXPECT_FALSE(a.left < b.left + b.width && b.left < a.left + a.width &&
                 a.top < b.top + b.height && b.top < a.top + a.height)
        << "the swing-o-meter and the toolbar lie apart";
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
