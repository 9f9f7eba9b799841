#include "spider/wSwing.h"

#include "app/Companions.h"
#include "app/frmMain.h"
#include "app/myLib.h"

#include "tests/support/app_fixture.h"

#include "platform/picture.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TickCase {
    int32_t v;
    double outerX, outerY, innerX, innerY;
};

class TickTest : public ::testing::TestWithParam<TickCase> {};

TEST_P(TickTest, TicksRunFromRadius100InTo90)
{
    myLib::InitMyLib();
    const TickCase& t = GetParam();
    EXPECT_NEAR(TickOuter(t.v).x, t.outerX, 0.01);
    EXPECT_NEAR(TickOuter(t.v).y, t.outerY, 0.01);
    EXPECT_NEAR(TickInner(t.v).x, t.innerX, 0.01);
    EXPECT_NEAR(TickInner(t.v).y, t.innerY, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Values, TickTest,
                         ::testing::Values(TickCase{-100, 7.74, 9.37, 11.96, 18.43},
                                           TickCase{-60, 24.12, 3.41, 26.71, 13.07},
                                           TickCase{-20, 41.28, 0.38, 42.16, 10.34},
                                           TickCase{0, 50, 0, 50, 10},
                                           TickCase{20, 58.72, 0.38, 57.84, 10.34},
                                           TickCase{100, 92.26, 9.37, 88.04, 18.43}));

TEST(NeedleTest, TheTipLiesBelowTheTickOfTheSameValue)
{
    myLib::InitMyLib();
    EXPECT_NEAR(NeedleTip(0).x, 50, 1e-9);
    EXPECT_NEAR(NeedleTip(0).y, 15, 1e-9);
    EXPECT_NEAR(NeedleTip(100).x, 92.26, 0.01);
    EXPECT_NEAR(NeedleTip(100).y, 22.96, 0.01);
    EXPECT_NEAR(NeedleTip(-100).x, 7.74, 0.01);
    // 250 is not limited: the needle turns 62.5 degrees.
    EXPECT_NEAR(DialAngle(250), 62.5 * myLib::pi / 180, 1e-6);
}

class wSwingTest : public testsupport::AppTest {};

TEST_F(wSwingTest, ThePaintShowsTheValueUnlimited)
{
    main().AverageColour = 250;
    wSwing& w = wSwing::instance();
    platform::Picture pic(100, 100);
    w.Canvas1_Paint(pic.graphics());
    EXPECT_EQ(w.StaticText1->text(), "250");
    // The hub is the disc of diameter 10 at (46, 96); the needle at 250 leaves it to the
    // right, so its left half is the hub's alone.
    EXPECT_EQ(pic.pixel(48, 99), (platform::Color{0, 0, 0})) << "the hub";
    EXPECT_EQ(pic.pixel(43, 99), (platform::Color{255, 255, 255})) << "beside the hub";
    EXPECT_EQ(pic.pixel(50, 90), (platform::Color{255, 255, 255}));
}

TEST_F(wSwingTest, ClosingItClearsSwingingAndHidingBuildsNothing)
{
    main().Swinging = true;
    ShowSwingometer();
    wSwing::instance().close();
    EXPECT_FALSE(main().Swinging);
    HideSwingometer();
    EXPECT_FALSE(wSwing::exists()) << "asking to hide a closed swing-o-meter builds none";
    RefreshSwingometer(true);
    EXPECT_FALSE(wSwing::exists()) << "asking whether it is shown builds none either";
    main()._ShowSwingometer_Action();
    EXPECT_TRUE(wSwing::exists());
    EXPECT_TRUE(wSwing::instance().isVisible());
}

// The dial as the user sees it, for a mean at either end of the scale and in its middle: every
// tick from -100 to +100, and the needle from the hub to its tip below the tick of the mean.
struct DialCase {
    const char* name;
    int32_t mean;
    int tipX; ///< the needle's tip, after the integer conversion
    int tipY;
};

class DialTest : public testsupport::AppTest, public ::testing::WithParamInterface<DialCase> {};

bool darkNear(const platform::Picture& pic, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const platform::Color c = pic.pixel(x + dx, y + dy);
            if (c.r + c.g + c.b < 3 * 128)
                return true;
        }
    return false;
}

TEST_P(DialTest, ShowsEveryTickAndTheNeedleAtTheMean)
{
    const DialCase& c = GetParam();
    // Two known players at the mean, linked to the central issue: the map's paint works it out.
    testsupport::LoadDocument(main(), {{"Issue"}, {"A", c.mean, 40}, {"B", c.mean, 60}});
    ASSERT_TRUE(platform::testing::chooseMenuItem("ShowSwingometer"));
    platform::testing::finishPaints();
    ASSERT_EQ(main().AverageColour, c.mean);
    wSwing& w = wSwing::instance();
    ASSERT_TRUE(w.isVisible());
    const platform::Picture dial = platform::testing::shownPixels(*w.Canvas1);
    ASSERT_EQ(dial.width(), 100);
    // The ticks' outer and inner ends (truncated), from -100 to +100.
    const int ticks[11][4] = {{7, 9, 11, 18},  {15, 6, 19, 15}, {24, 3, 26, 13}, {32, 1, 34, 11},
                              {41, 0, 42, 10}, {50, 0, 50, 10}, {58, 0, 57, 10}, {67, 1, 65, 11},
                              {75, 3, 73, 13}, {84, 6, 80, 15}, {92, 9, 88, 18}};
    for (const auto& t : ticks) {
        EXPECT_TRUE(darkNear(dial, t[0], t[1])) << "tick's outer end " << t[0] << "," << t[1];
        EXPECT_TRUE(darkNear(dial, t[2], t[3])) << "tick's inner end " << t[2] << "," << t[3];
    }
    EXPECT_TRUE(darkNear(dial, c.tipX, c.tipY)) << "the needle's tip";
    EXPECT_TRUE(darkNear(dial, (50 + c.tipX) / 2, (100 + c.tipY) / 2)) << "half way along";
    EXPECT_FALSE(darkNear(dial, c.tipX, c.tipY - 3)) << "nothing beyond the tip";
    EXPECT_EQ(w.StaticText1->text(), std::to_string(c.mean));
}

INSTANTIATE_TEST_SUITE_P(Means, DialTest,
                         ::testing::Values(DialCase{"MostHostile", -100, 7, 22},
                                           DialCase{"Neutral", 0, 50, 15},
                                           DialCase{"MostFriendly", 100, 92, 22}),
                         [](const ::testing::TestParamInfo<DialCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
