#include "app/frmMain.h"

#include "app/frmDetails.h"

#include "tests/support/app_fixture.h"
#include "tests/support/modal_script.h"
#include "tests/support/paint_counter.h"

#include "platform/picture.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

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

    resize(386, 312);
    // At half the size a model unit is half a pixel: half a box is twice as many units.
    const Player& western = main().Player[1];
    EXPECT_EQ(western.xcentre, western.x + 2 * (western.Width / 2));
    EXPECT_EQ(western.ycentre, western.y + 2 * (western.Height / 2));
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

} // namespace
