#include "app/Player.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct BoxCase {
    const char* name;
    const char* subtitle;
    int32_t width, height;
};

class BoxSizeTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(BoxSizeTest, EstimatesTheBoxFromItsTexts)
{
    Player p;
    p.Name = GetParam().name;
    p.Subtitle = GetParam().subtitle;
    SetBoxSize(p);
    EXPECT_EQ(p.Width, GetParam().width);
    EXPECT_EQ(p.Height, GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(Cases, BoxSizeTest,
                         ::testing::Values(BoxCase{"Abc", "", 41, 30}, BoxCase{"Abc", "x", 41, 45},
                                           BoxCase{"", "", 20, 30},
                                           BoxCase{"Unions", "Staff side", 62, 45},
                                           BoxCase{"Zürich", "", 62, 30}));

TEST(BoxSizeTest, AWidthBeyondTheInt32RangeStaysAtItsLargestValue)
{
    // 7 × 306,783,375 + 20 is the last width the Int32 range holds; one character more
    // passes it.
    Player p;
    p.Name.assign(306'783'375, 'x');
    SetBoxSize(p);
    EXPECT_EQ(p.Width, 2'147'483'645);
    p.Name.push_back('x');
    SetBoxSize(p);
    EXPECT_EQ(p.Width, std::numeric_limits<int32_t>::max());
    CentreFromCorner(p);
    EXPECT_EQ(p.xcentre, 1'073'741'823);
}

TEST(BoxSizeTest, CornerFromCentreAfterACreation)
{
    Player p;
    p.Name = "Abc";
    p.xcentre = 300;
    p.ycentre = 200;
    SetBoxSize(p);
    CornerFromCentre(p);
    EXPECT_EQ(p.x, 279) << "279.5 truncated";
    EXPECT_EQ(p.y, 185);
}

TEST(BoxSizeTest, CentreFromCornerAfterAnEdit)
{
    Player p;
    p.Name = "Abc";
    p.x = 100;
    p.y = 100;
    SetBoxSize(p);
    CentreFromCorner(p);
    EXPECT_EQ(p.xcentre, 120) << "120.5 truncated";
    EXPECT_EQ(p.ycentre, 115);
}

} // namespace
