#include "spider/ShowCommands.h"
#include "spider/wSwing.h"

#include "app/frmMain.h"

#include "tests/support/app_fixture.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

namespace {

struct TransformCase {
    int32_t before, easier, harder, polarized;
};

class TransformTest : public ::testing::TestWithParam<TransformCase> {};

TEST_P(TransformTest, MovesTenPointsNeverPastTheEndItMovesTowards)
{
    const TransformCase& t = GetParam();
    EXPECT_EQ(TransformedPosition(ShowTransform::MakeEasier, t.before), t.easier);
    EXPECT_EQ(TransformedPosition(ShowTransform::MakeHarder, t.before), t.harder);
    EXPECT_EQ(TransformedPosition(ShowTransform::MorePolarized, t.before), t.polarized);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, TransformTest,
    ::testing::Values(TransformCase{0, 10, -10, -10}, TransformCase{1, 11, -9, 11},
                      TransformCase{-1, 9, -11, -11}, TransformCase{95, 100, 85, 100},
                      TransformCase{100, 100, 90, 100}, TransformCase{-95, -85, -100, -100},
                      TransformCase{-100, -90, -100, -100}, TransformCase{150, 100, 140, 100},
                      TransformCase{-150, -140, -100, -100},
                      TransformCase{2147483647, 100, 2147483637, 100}));

class ShowCommandsTest : public testsupport::AppTest {};

TEST_F(ShowCommandsTest, UnknownPlayersAndTheCentralIssueKeepTheirPositions)
{
    frmMain& m = main();
    testsupport::LoadDocument(m, {{"Issue", 50}, {"A", 20}, {"B", 30, 50, 0, 0, "", true, true}});
    EXPECT_TRUE(platform::testing::chooseMenuItem("ShowMakeEasier"));
    EXPECT_EQ(m.Player[0].Position, 50);
    EXPECT_EQ(m.Player[1].Position, 30);
    EXPECT_EQ(m.Player[2].Position, 30);
    EXPECT_TRUE(m.FileChanged);
}

TEST_F(ShowCommandsTest, ATransformMarksTheDocumentChangedEvenWhenNothingMoved)
{
    frmMain& m = main();
    testsupport::LoadDocument(m, {{"Issue"}});
    m._ShowMorePolarized_Action();
    EXPECT_TRUE(m.FileChanged);
}

TEST_F(ShowCommandsTest, TheSwingometerSwitchFollowsTheFlag)
{
    frmMain& m = main();
    m._ShowSwingometer_Action();
    platform::testing::processEvents();
    EXPECT_TRUE(m.Swinging);
    EXPECT_TRUE(wSwing::exists() && wSwing::instance().isVisible()) << "the user sees it";
    m._ShowSwingometer_Action();
    platform::testing::processEvents();
    EXPECT_FALSE(m.Swinging);
    EXPECT_FALSE(wSwing::instance().isVisible());
}

} // namespace
