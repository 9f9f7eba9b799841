#include "app/frmMain.h"

#include "tests/support/app_fixture.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

#include <iterator>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

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

enum class Map { plotx, ploty, unplotx, unploty };

struct MapCase {
    std::string label;
    float ScaleFactorx;
    float ScaleFactorY;
    Map map;
    int32_t in;
    int32_t out;
};

void PrintTo(const MapCase& c, std::ostream* os)
{
    *os << c.label;
}

// The factors the paint sets for a canvas of this many pixels.
float across(double pixels)
{
    return static_cast<float>(772.0 / pixels);
}
float down(double pixels)
{
    return static_cast<float>(624.0 / pixels);
}

std::vector<MapCase> MapCases()
{
    std::vector<MapCase> cases;
    // At the design size model units are pixels, both ways.
    const std::pair<Map, const char*> maps[] = {{Map::plotx, "plotx"},
                                                {Map::ploty, "ploty"},
                                                {Map::unplotx, "unplotx"},
                                                {Map::unploty, "unploty"}};
    for (const auto& [map, name] : maps)
        for (int32_t v : {0, 1, 386, 755, -20})
            cases.push_back({std::string("Design_") + name + "_" +
                                 (v < 0 ? "minus" + std::to_string(-v) : std::to_string(v)),
                             across(772), down(624), map, v, v});
    const MapCase others[] = {
        {"Twice_plotx", across(1544), down(1248), Map::plotx, 100, 200},
        {"Twice_ploty", across(1544), down(1248), Map::ploty, 312, 624},
        {"Twice_unplotx", across(1544), down(1248), Map::unplotx, 200, 100},
        {"HalfWidth_plotx", across(386), 1, Map::plotx, 100, 50},
        {"HalfWidth_unplotx", across(386), 1, Map::unplotx, 51, 102},
        // Each axis has its own factor.
        {"HalfWidth_ploty", across(386), 1, Map::ploty, 100, 100},
        {"HalfWidth_unploty", across(386), 1, Map::unploty, 51, 51},
        // The single nearest 0.772 is a little larger, so 386 maps just below 500.
        {"SingleFactorShows_plotx", across(1000), 1, Map::plotx, 386, 499},
        // Before the first paint the factors are 0.
        {"NoPaint_unplotx", 0, 0, Map::unplotx, 300, 0},
        {"NoPaint_unploty", 0, 0, Map::unploty, -300, 0},
    };
    cases.insert(cases.end(), std::begin(others), std::end(others));
    return cases;
}

class MappingTableTest : public MappingTest, public ::testing::WithParamInterface<MapCase> {};

TEST_P(MappingTableTest, MapsWithTheFactorsOfTheLastPaint)
{
    const MapCase& c = GetParam();
    frmMain& w = withFactors(c.ScaleFactorx, c.ScaleFactorY);
    const int32_t got = c.map == Map::plotx     ? w.plotx(c.in)
                        : c.map == Map::ploty   ? w.ploty(c.in)
                        : c.map == Map::unplotx ? w.unplotx(c.in)
                                                : w.unploty(c.in);
    EXPECT_EQ(got, c.out);
}

INSTANTIATE_TEST_SUITE_P(Cases, MappingTableTest, ::testing::ValuesIn(MapCases()),
                         [](const auto& info) { return info.param.label; });

TEST_F(MappingTest, Distance)
{
    frmMain& w = withFactors(1, 1);
    EXPECT_EQ(w.Distance(0, 0, 3, 4), 5.0f);
    EXPECT_EQ(w.Distance(7, 7, 7, 7), 0.0f);
}

} // namespace
