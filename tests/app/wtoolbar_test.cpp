#include "app/wtoolbar.h"

#include "spider/wSwing.h"

#include "tests/support/app_fixture.h"

#include "platform/system.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

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

} // namespace
