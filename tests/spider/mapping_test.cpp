#include "app/frmMain.h"

#include "tests/support/app_fixture.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

namespace {

class MappingTest : public testsupport::AppTest {
protected:
    frmMain& withFactors(float sx, float sy)
    {
        frmMain& w = main();
        w.ScaleFactorx = sx;
        w.ScaleFactorY = sy;
        w.Offsetx = 0;
        w.offsety = 0;
        return w;
    }
};

TEST_F(MappingTest, AtTheDesignSizeModelUnitsArePixels)
{
    frmMain& w = withFactors(772.0f / 772, 624.0f / 624);
    for (int32_t v : {0, 1, 386, 755, -20})
        EXPECT_TRUE(w.plotx(v) == v && w.ploty(v) == v && w.unplotx(v) == v && w.unploty(v) == v)
            << v;
}

TEST_F(MappingTest, TwiceTheDesignSize)
{
    frmMain& w = withFactors(static_cast<float>(772.0 / 1544), static_cast<float>(624.0 / 1248));
    EXPECT_EQ(w.plotx(100), 200);
    EXPECT_EQ(w.ploty(312), 624);
    EXPECT_EQ(w.unplotx(200), 100);
}

TEST_F(MappingTest, HalfTheDesignWidth)
{
    frmMain& w = withFactors(static_cast<float>(772.0 / 386), 1);
    EXPECT_EQ(w.plotx(100), 50);
    EXPECT_EQ(w.unplotx(51), 102);
}

TEST_F(MappingTest, TheSingleFactorShowsInTheResult)
{
    // The single nearest 0.772 is a little larger, so 386 maps just below 500.
    frmMain& w = withFactors(static_cast<float>(772.0 / 1000), 1);
    EXPECT_EQ(w.plotx(386), 499);
}

TEST_F(MappingTest, BeforeTheFirstPaintUnplotGivesZero)
{
    frmMain& w = withFactors(0, 0);
    EXPECT_EQ(w.unplotx(300), 0);
    EXPECT_EQ(w.unploty(-300), 0);
}

TEST_F(MappingTest, Distance)
{
    frmMain& w = withFactors(1, 1);
    EXPECT_EQ(w.Distance(0, 0, 3, 4), 5.0f);
    EXPECT_EQ(w.Distance(7, 7, 7, 7), 0.0f);
}

} // namespace
