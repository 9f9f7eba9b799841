#include "app/frmMain.h"

#include "app/DataFile.h"
#include "app/frmDetails.h"

#include "spider/SpiderDrawing.h"

#include "tests/support/app_fixture.h"
#include "tests/support/modal_script.h"
#include "tests/support/paint_counter.h"

#include "platform/picture.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <iterator>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace pt = platform::testing;
using testsupport::ModalScript;

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

// --- Resizing ---

class ResizeTest : public MappingTest {
protected:
    void SetUp() override
    {
        MappingTest::SetUp();
        // Two boxes side by side, 10 pixels apart once measured, far from the central issue.
        testsupport::LoadDocument(main(), {{"Issue", 0, 50, 353, 400},
                                           {"Western", -40, 50, 100, 100},
                                           {"Eastern", 40, 50, 100, 200}});
        waitForPaint();
        main().Player[2].x = main().Player[1].x + main().Player[1].Width + 10;
        main().Player[2].y = 100;
        // The centres of the boxes as drawn, as a resize at this size leaves them: the box-size
        // rule's width, which the file's reader gives, is an estimate of the measured one.
        for (int32_t i = 0; i <= main().NumPlayer; ++i)
            main().CentreFromCornerInModelUnits(main().Player[i]);
    }

    // Waits for the canvas's real paint, which sets the mapping and measures the boxes.
    void waitForPaint()
    {
        testsupport::PaintCounter paints(*main().Canvas1);
        main().Canvas1->refresh();
        ASSERT_TRUE(paints.waitForPaint());
    }

    void resize(int32_t width, int32_t height)
    {
        main().setSize(width, height);
        pt::processEvents();
        ASSERT_EQ(main().width(), width);
        waitForPaint();
    }

    // What the canvas shows: the paint's drawing at the window's size.
    platform::Picture canvas()
    {
        platform::Picture pic(main().Canvas1->width(), main().Canvas1->height());
        main().Canvas1_Paint(pic.graphics());
        return pic;
    }

    static int differingPixels(const platform::Picture& a, const platform::Picture& b)
    {
        if (a.width() != b.width() || a.height() != b.height())
            return -1;
        int n = 0;
        for (int32_t y = 0; y < a.height(); ++y)
            for (int32_t x = 0; x < a.width(); ++x)
                n += a.pixel(x, y) == b.pixel(x, y) ? 0 : 1;
        return n;
    }
};

TEST_F(ResizeTest, AShrinkAndARestoreLeaveTheSpiderPlotAsItWas)
{
    const platform::Picture before = canvas();
    std::vector<std::pair<int32_t, int32_t>> centres;
    for (int32_t i = 0; i <= main().NumPlayer; ++i)
        centres.emplace_back(main().Player[i].xcentre, main().Player[i].ycentre);

    // A canvas of half the design size, 378 by 291 (the legend above the view buttons): a model
    // unit is half a pixel, so half a box is twice as many units. Every player's centre
    // follows, the central issue and the last one included.
    resize(378 + 16, 291 + 68);
    for (int32_t i = 0; i <= main().NumPlayer; ++i) {
        const Player& p = main().Player[i];
        EXPECT_EQ(p.xcentre, p.x + 2 * (p.Width / 2)) << p.Name;
        EXPECT_EQ(p.ycentre, p.y + 2 * (p.Height / 2)) << p.Name;
    }
    resize(772, 624);

    for (int32_t i = 0; i <= main().NumPlayer; ++i) {
        EXPECT_EQ(main().Player[i].xcentre, centres[i].first) << i;
        EXPECT_EQ(main().Player[i].ycentre, centres[i].second) << i;
    }
    EXPECT_EQ(differingPixels(before, canvas()), 0);
}

TEST_F(ResizeTest, AfterAShrinkAndARestoreAStillClickEditsThePlayerClickedOn)
{
    resize(386, 312);
    resize(772, 624);
    // Just inside the eastern box, next to the western one.
    const Player& eastern = main().Player[2];
    ModalScript script;
    script.window([](platform::Window& w) {
        frmDetails& d = dynamic_cast<frmDetails&>(w);
        EXPECT_EQ(d.efName->text(), "Eastern");
        d.PushButton1->push();
    });
    const int32_t x = eastern.x + 3;
    const int32_t y = eastern.y + 3;
    pt::mousePress(*main().Canvas1, x, y);
    pt::mouseRelease(*main().Canvas1, x, y);
    EXPECT_TRUE(script.done());
    EXPECT_EQ(main().Player[1].x, 100) << "the western box stays where it was";
}

// --- Every box whole on the canvas ---

// Players at the map's bottom and right, where the model space runs past what the canvas
// shows, and beyond the map: a corner left of it by a drag, one far outside it from a file.
// Each is filled with a colour of its own; the central issue is yellow.
std::vector<testsupport::FixturePlayer> edgePlayers()
{
    return {{"Issue", 0, 50, 353, 271},
            {"Builders union", -100, 50, 300, 560},
            {"Haulage firms", 100, 50, 690, 545, "Road and rail"},
            {"Dragged left", -50, 50, -23, 200},
            {"From a file", 50, 50, 5000, -300},
            {"Top left", 20, 50, 0, 0}};
}

int countColour(const platform::Picture& pic, platform::Color c)
{
    int n = 0;
    for (int32_t y = 0; y < pic.height(); ++y)
        for (int32_t x = 0; x < pic.width(); ++x)
            n += pic.pixel(x, y) == c ? 1 : 0;
    return n;
}

std::string savedBytes(const frmMain& w)
{
    return WriteDataFile(
        MakeDataFileContents(w.HasDB, w.NumPlayer, w.Player, w.Links, w.AveColour));
}

struct WindowSize {
    const char* name;
    int32_t width, height;
};

class BoxesInSightTest : public ResizeTest, public ::testing::WithParamInterface<WindowSize> {
protected:
    // How many pixels the fill of player i's box covers when the box is whole: drawn alone in
    // the middle of a canvas of the design size.
    int wholeFill(int32_t i)
    {
        const Document saved = main();
        Document& d = main();
        // The player in the middle; the central issue, drawn in every document, in a corner.
        d.NumPlayer = i == 0 ? 0 : 1;
        d.Player[d.NumPlayer] = saved.Player[i];
        d.Player[d.NumPlayer].x = 300;
        d.Player[d.NumPlayer].y = 250;
        if (i != 0) {
            d.Player[0].x = 10;
            d.Player[0].y = 10;
        }
        platform::Picture pic(756, 582);
        DrawSpiderPlot(main(), pic.graphics(), SpiderTarget::Screen, 756, 582);
        static_cast<Document&>(main()) = saved;
        return countColour(pic, fillOf(i));
    }

    platform::Color fillOf(int32_t i) { return PositionColour(main().Player[i].Position); }
};

TEST_P(BoxesInSightTest, EveryBoxIsDrawnWholeOnTheCanvasAndSaveWritesTheSame)
{
    testsupport::LoadDocument(main(), edgePlayers());
    main().AveColour = false;
    waitForPaint();
    const std::string before = savedBytes(main());
    std::vector<int> whole;
    for (int32_t i = 0; i <= main().NumPlayer; ++i)
        whole.push_back(wholeFill(i));

    resize(GetParam().width, GetParam().height);
    const platform::Picture shown = canvas();
    for (int32_t i = 0; i <= main().NumPlayer; ++i)
        EXPECT_EQ(countColour(shown, fillOf(i)), whole[static_cast<size_t>(i)])
            << main().Player[i].Name << ": its whole box is drawn on the canvas";
    EXPECT_EQ(savedBytes(main()), before) << "resizing alone changes nothing Save writes";
    resize(772, 624);
    EXPECT_EQ(savedBytes(main()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, BoxesInSightTest,
    ::testing::Values(WindowSize{"Smallest", frmMain::kMinimumWidth, frmMain::kMinimumHeight},
                      WindowSize{"Small", 520, 420}, WindowSize{"Design", 772, 624},
                      WindowSize{"FullHD", 1920, 1080}, WindowSize{"FourK", 3840, 2160}),
    [](const auto& info) { return std::string(info.param.name); });

// A box moved by a drag is stored where it is drawn: whole on the canvas, however far past its
// edge the pointer went, so that a larger window shows it whole too.
TEST_F(ResizeTest, ABoxDraggedPastTheCanvasEdgeIsStoredWholeOnIt)
{
    resize(1920, 1080);
    Player& p = main().Player[1];
    const platform::Rect box = main().BoxOnCanvas(p);
    const int32_t x = box.left + 5;
    const int32_t y = box.top + 5;
    pt::mousePress(*main().Canvas1, x, y);
    pt::mouseMove(*main().Canvas1, x - 300, y);
    pt::mouseMove(*main().Canvas1, -40, y);
    pt::mouseRelease(*main().Canvas1, -40, y);
    EXPECT_GE(main().plotx(p.x), 0) << "stored at the canvas's left edge";
    EXPECT_LE(main().plotx(p.x), 1);
    EXPECT_EQ(main().BoxOnCanvas(p).left, main().plotx(p.x)) << "drawn where it is stored";
    for (const auto& [width, height] : {std::pair{772, 624}, std::pair{3840, 2160}}) {
        resize(width, height);
        EXPECT_EQ(main().BoxOnCanvas(p).left, main().plotx(p.x)) << width;
        EXPECT_LE(main().plotx(p.x) + p.Width, main().Canvas1->width()) << width;
    }
}

} // namespace
