// The graph's axis labels: each word and number stands where the axes put it.

#include "tests/graph/graph_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using graphtest::kH;
using graphtest::kW;
using platform::Picture;

bool dark(platform::Color c)
{
    return c.r + c.g + c.b < 3 * 128;
}

struct LabelCase {
    const char* name;
    std::string text;
    int32_t x, y;           ///< the baseline's start, in graph units
    int32_t dx = 0, dy = 0; ///< then moved by this many pixels
};

class AxisLabelTest : public graphtest::GraphTest,
                      public ::testing::WithParamInterface<LabelCase> {};

INSTANTIATE_TEST_SUITE_P(Labels, AxisLabelTest,
                         ::testing::Values(LabelCase{"Important", "Important", -5, 103},
                                           LabelCase{"Irrelevant", "Irrelevant", -5, -5},
                                           LabelCase{"Enemies", "Enemies", -100, 51},
                                           LabelCase{"Allies", "Allies", 93, 51},
                                           LabelCase{"Importance100", "100", 0, 100, 5, 3},
                                           LabelCase{"PositionMinus100", "-100", -100, 50, -7, 12},
                                           LabelCase{"Position60", "60", 60, 50, -7, 12}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(AxisLabelTest, EveryPixelOfTheLabelIsWhereTheAxesPutIt)
{
    const LabelCase& c = GetParam();
    graph& w = openGraph({{"Issue"}});
    const GraphMapping m = GraphMapping::screen(kW, kH);
    const Picture drawn = printed(w, m);

    Picture alone(kW, kH);
    platform::Graphics& g = alone.graphics();
    g.setForeColor(graphtest::kWhite);
    g.fillRect(0, 0, kW, kH);
    g.setForeColor(platform::RGB(50, 50, 100));
    g.setTextSize(9);
    g.drawString(c.text, m.plotx(c.x) + c.dx, m.ploty(c.y) + c.dy);

    int labelPixels = 0;
    int missing = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (dark(alone.pixel(x, y))) {
                ++labelPixels;
                missing += dark(drawn.pixel(x, y)) ? 0 : 1;
            }
    ASSERT_GT(labelPixels, 10);
    EXPECT_EQ(missing, 0) << c.text << " is not where the axes put it";
}

} // namespace
