#include "graph/graph.h"

#include "tests/graph/graph_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

using graphtest::kH;
using graphtest::kW;

enum class Fn { plotx, ploty, unplotx, unploty };

struct MapCase {
    const char* name;
    Fn fn;
    int32_t arg;
    int32_t expected; ///< the exact value truncated toward zero
};

int32_t apply(const GraphMapping& m, Fn fn, int32_t v)
{
    switch (fn) {
    case Fn::plotx:
        return m.plotx(v);
    case Fn::ploty:
        return m.ploty(v);
    case Fn::unplotx:
        return m.unplotx(v);
    case Fn::unploty:
        return m.unploty(v);
    }
    return 0;
}

class ScreenMappingTest : public ::testing::TestWithParam<MapCase> {};

TEST_P(ScreenMappingTest, MapsAtTheLayoutSize)
{
    const MapCase& c = GetParam();
    EXPECT_EQ(apply(GraphMapping::screen(kW, kH), c.fn, c.arg), c.expected);
}

// The canvas at 677 by 363 with the paint's scales. unploty(0) is just below 108 because
// yscale is a Single; presses at the edges give values beyond the axes, unchanged.
INSTANTIATE_TEST_SUITE_P(LayoutSize, ScreenMappingTest,
                         ::testing::Values(MapCase{"plotxMinus100", Fn::plotx, -100, 10},
                                           MapCase{"plotx0", Fn::plotx, 0, 318},
                                           MapCase{"plotx100", Fn::plotx, 100, 626},
                                           MapCase{"ploty0", Fn::ploty, 0, 340},
                                           MapCase{"ploty50", Fn::ploty, 50, 183},
                                           MapCase{"ploty100", Fn::ploty, 100, 25},
                                           MapCase{"plotyMinus7IsTheBottomEdge", Fn::ploty, -7, kH},
                                           MapCase{"unplotxLeftEdge", Fn::unplotx, 0, -103},
                                           MapCase{"unplotxRightEdge", Fn::unplotx, 676, 116},
                                           MapCase{"unplotyTopEdge", Fn::unploty, 0, 107},
                                           MapCase{"unplotyBottomEdge", Fn::unploty, 362, -6}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GraphMappingTest, ACanvasOfNoSizeGivesSaneValues)
{
    const GraphMapping m = GraphMapping::screen(0, 0);
    EXPECT_EQ(m.xscale, 0);
    EXPECT_EQ(m.unplotx(10), 0);
    EXPECT_EQ(m.unploty(10), 0);
    EXPECT_EQ(m.plotx(50), -20);
    EXPECT_EQ(m.ploty(50), 0);
    const GraphMapping unset{};
    EXPECT_EQ(unset.unplotx(-5), 0);
    EXPECT_EQ(unset.unploty(-5), 0);
}

TEST(GraphMappingTest, ValuesAtTheInt32BoundsSaturate)
{
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    const GraphMapping m = GraphMapping::screen(kW, kH);
    EXPECT_EQ(m.ploty(kMax), kMin);
    EXPECT_EQ(m.ploty(kMin), kMax);
    EXPECT_EQ(m.plotx(kMax), kMax);
    EXPECT_EQ(m.plotx(kMin), kMin);
    const GraphMapping tiny = GraphMapping::screen(1, 1);
    EXPECT_EQ(tiny.unplotx(kMax), kMax);
    EXPECT_EQ(tiny.unploty(kMin), kMax);
    EXPECT_EQ(tiny.unploty(kMax), kMin);
}

class GraphWindowMappingTest : public graphtest::GraphTest {};

TEST_F(GraphWindowMappingTest, TheOpenEventsScalesServeUntilThePaintSetsTheScreens)
{
    testsupport::LoadDocument(main(), {{"Issue"}, {"A", 40, 80}});
    graph& w = graph::instance();
    ASSERT_EQ(w.cGraph->width(), kW);
    ASSERT_EQ(w.cGraph->height(), kH);
    EXPECT_FLOAT_EQ(w.xscale, static_cast<float>(kW / 200.0));
    EXPECT_FLOAT_EQ(w.yscale, static_cast<float>(kH / 100.0));
    EXPECT_EQ(w.unplotx(0), -94) << "(20 - 338.5) / 3.385";
    paint(w);
    EXPECT_FLOAT_EQ(w.xscale, static_cast<float>(kW / 220.0));
    EXPECT_FLOAT_EQ(w.yscale, static_cast<float>(kH / 115.0));
    EXPECT_EQ(w.unplotx(0), -103);
    EXPECT_EQ(w.plotx(100), 626);
}

} // namespace
