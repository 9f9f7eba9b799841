#include "app/wtoolbar.h"

#include "forcefield/ffield.h"
#include "graph/graph.h"
#include "spider/wSwing.h"

#include "tests/support/app_fixture.h"

#include "platform/system.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

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
