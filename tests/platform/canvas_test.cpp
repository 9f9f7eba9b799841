#include "platform/controls.h"
#include "platform/graphics.h"
#include "platform/picture.h"
#include "platform/testing.h"
#include "platform/window.h"

#include "tests/support/modal_script.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

using namespace platform;
using testsupport::Kind;
using testsupport::ModalScript;
namespace pt = platform::testing;

namespace {

// A drawing with every kind of operation at many places and angles, so that bands of any
// height cut through lines, outlines, boxes and texts: what decides the pixels at a band's
// edge is drawn there.
void drawScene(Graphics& g)
{
    uint32_t seed = 12345;
    auto next = [&seed](int32_t n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int32_t>((seed >> 8) % static_cast<uint32_t>(n));
    };
    const int32_t W = g.width();
    const int32_t H = g.height();
    g.setForeColor(RGB(250, 250, 200));
    g.fillRect(10, 10, W / 2, H / 3);
    std::vector<Color> columns;
    for (int32_t x = 0; x < W / 3; ++x)
        columns.push_back(RGB(x % 256, 255 - x % 256, 128));
    g.fillColumns(W / 2, H / 5, H / 2, columns);
    std::vector<Color> rows;
    for (int32_t y = 0; y < H / 2; ++y)
        rows.push_back(RGB(255 - y % 256, 128, y % 256));
    g.fillRows(W / 8, H / 3, W / 2, rows);
    // As many lines as the links of a large map, so that the drawing is cut into several bands.
    for (int32_t i = 0; i < 3000; ++i) {
        const int32_t k = 1 + i % 10;
        g.setPenWidth(k);
        g.setPenHeight(k);
        g.setForeColor(RGB(next(256), next(256), next(256)));
        g.drawLine(next(W), next(H), next(W), next(H));
    }
    // Thick lines from far beyond the canvas, which the toolkit cuts to its device before
    // filling them.
    for (int32_t i = 0; i < 6; ++i) {
        const int32_t far = (1 << 23) + i * 400000000;
        g.setPenWidth(3 + i);
        g.setPenHeight(3 + i);
        g.setForeColor(RGB(40 * i, 0, 255 - 40 * i));
        g.drawLine(-far, H / 7 * i - 5000 * i, far, H / 7 * i + 300 + 7000 * i);
        g.drawLine(W / 6 * i - 3000, -far, W / 6 * i + 4000, far);
    }
    g.setPenWidth(1);
    g.setPenHeight(1);
    for (int32_t i = 0; i < 60; ++i) {
        const int32_t x = next(W - 200);
        const int32_t y = next(H - 60);
        g.setForeColor(RGB(next(256), 200, 0));
        g.fillRoundRect(x, y, 150, 45, 15, 15);
        g.setForeColor(RGB(0, 0, 0));
        g.drawRoundRect(x, y, 150, 45, 15, 15);
        g.setTextSize(i % 2 ? 9 : 12);
        g.setBold(i % 3 == 0);
        g.drawString("Player number " + std::to_string(i), x + 10, y + 20);
        g.drawOval(x + 100, y + 5, 30, 30);
        g.fillOval(x + 5, y + 30, 12, 12);
        g.drawRect(x + 60, y + 25, 40, 15);
        g.drawPolygon({x, y + 50, x + 40, y + 90, x + 80, y + 50, x + 40, y + 70});
    }
}

class BigCanvasWindow : public WindowClass<BigCanvasWindow> {
public:
    Canvas* canvas = nullptr;

protected:
    void Layout() override { setSize(1600, 1200); }
    void CreateControls() override
    {
        canvas = addControl<Canvas>("canvas", {0, 0, 1600, 1200}, LockAll);
        canvas->onPaint = [](Graphics& g) { drawScene(g); };
    }

private:
    friend class WindowClass<BigCanvasWindow>;
    BigCanvasWindow() = default;
};

// A large canvas whose drawing holds one operation that throws, over the rows given.
class FailingBandWindow : public WindowClass<FailingBandWindow> {
public:
    Canvas* canvas = nullptr;
    static inline int32_t sFailTop = 0;

protected:
    void Layout() override { setSize(1600, 1200); }
    void CreateControls() override
    {
        canvas = addControl<Canvas>("canvas", {0, 0, 1600, 1200}, LockAll);
        canvas->onPaint = [](Graphics& g) {
            drawScene(g);
            pt::drawFailingOperation(g, sFailTop, sFailTop + 4, "band out of paint");
            drawScene(g); // more for the other bands to draw after the failing one
        };
    }

private:
    friend class WindowClass<FailingBandWindow>;
    FailingBandWindow() = default;
};

class CanvasTest : public ::testing::Test {
protected:
    void TearDown() override { pt::destroyAllWindows(); }
};

TEST_F(CanvasTest, ALargeCanvasDrawnInBandsShowsTheSamePixelsAsOneThreadDraws)
{
    BigCanvasWindow& w = BigCanvasWindow::instance();
    pt::activate(w);
    w.refresh();
    const Picture shown = pt::shownPixels(*w.canvas);
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "a machine of one core draws on one thread";
    ASSERT_GE(pt::paintThreads(*w.canvas), 3) << "the drawing was not cut into bands";

    Picture expected(w.canvas->width(), w.canvas->height());
    drawScene(expected.graphics());
    int differ = 0;
    for (int32_t y = 0; y < expected.height(); ++y)
        for (int32_t x = 0; x < expected.width(); ++x)
            if (shown.pixel(x, y) != expected.pixel(x, y) && differ++ < 5)
                ADD_FAILURE() << "pixel " << x << ", " << y << " differs";
    EXPECT_EQ(differ, 0);
}

// Fills that begin and end on every row, over each other, so that each band's first and last
// rows have fills that end or begin there, whichever rows the bands are cut at; and fills that
// run off the canvas's edges. A fill a band leaves out shows the colour of the one under it.
void drawFillsOnEveryRow(Graphics& g)
{
    const int32_t W = g.width();
    const int32_t H = g.height();
    auto colour = [](int32_t y, int32_t k) {
        return RGB((y * 7 + k * 50) % 256, (y * 13 + k * 90) % 256, (y * 29 + k * 20) % 256);
    };
    for (int32_t y = -2; y < H + 2; ++y) {
        for (int32_t h = 1; h <= 3; ++h) {
            g.setForeColor(colour(y, h));
            g.fillRect(10 * h, y, 8, h);
        }
        g.fillRows(40, y, 8, {colour(y, 4), colour(y, 5), colour(y, 6)});
        g.fillColumns(50, y, 2, {colour(y, 7), colour(y, 8), colour(y, 9)});
        g.setForeColor(colour(y, 10));
        g.drawLine(60, y, 70, y);
        g.drawRect(80, y, 6, 3);
        // Off the left and right edges.
        g.fillRows(-3, y, 6, {colour(y, 11), colour(y, 12)});
        g.fillColumns(W - 2, y, 2, {colour(y, 13), colour(y, 14), colour(y, 15)});
    }
    // Bands of one fill each, from above the canvas to below it.
    std::vector<Color> rows;
    for (int32_t y = -5; y < H + 5; ++y)
        rows.push_back(colour(y, 16));
    g.fillRows(100, -5, 20, rows);
}

class FillsWindow : public WindowClass<FillsWindow> {
public:
    Canvas* canvas = nullptr;

protected:
    void Layout() override { setSize(1600, 1200); }
    void CreateControls() override
    {
        canvas = addControl<Canvas>("canvas", {0, 0, 1600, 1200}, LockAll);
        canvas->onPaint = [](Graphics& g) { drawFillsOnEveryRow(g); };
    }

private:
    friend class WindowClass<FillsWindow>;
    FillsWindow() = default;
};

TEST_F(CanvasTest, FillsAtTheEdgesOfTheBandsShowAsOneThreadDrawsThem)
{
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "a machine of one core draws on one thread";
    FillsWindow& w = FillsWindow::instance();
    pt::activate(w);
    w.refresh();
    const Picture shown = pt::shownPixels(*w.canvas);
    ASSERT_GE(pt::paintThreads(*w.canvas), 2) << "the drawing was not cut into bands";
    Picture expected(w.canvas->width(), w.canvas->height());
    drawFillsOnEveryRow(expected.graphics());
    int differ = 0;
    for (int32_t y = 0; y < expected.height(); ++y)
        for (int32_t x = 0; x < expected.width(); ++x)
            if (shown.pixel(x, y) != expected.pixel(x, y) && differ++ < 5)
                ADD_FAILURE() << "pixel " << x << ", " << y << " differs";
    EXPECT_EQ(differ, 0);
}

// A large canvas whose drawing has few operations is drawn on one thread: in bands, each
// band would go through the same operations, spending more processor time than it wins.
class SparseCanvasWindow : public WindowClass<SparseCanvasWindow> {
public:
    Canvas* canvas = nullptr;

protected:
    void Layout() override { setSize(1600, 1200); }
    void CreateControls() override
    {
        canvas = addControl<Canvas>("canvas", {0, 0, 1600, 1200}, LockAll);
        canvas->onPaint = [](Graphics& g) {
            for (int32_t i = 0; i < 20; ++i)
                g.drawLine(0, i * 60, 1599, 1199 - i * 60);
        };
    }

private:
    friend class WindowClass<SparseCanvasWindow>;
    SparseCanvasWindow() = default;
};

TEST_F(CanvasTest, ALargeCanvasOfFewOperationsIsDrawnOnOneThread)
{
    SparseCanvasWindow& w = SparseCanvasWindow::instance();
    pt::activate(w);
    w.refresh();
    (void)pt::shownPixels(*w.canvas);
    EXPECT_EQ(pt::paintThreads(*w.canvas), 1);
}

// A canvas that erases and whose drawing begins with a fill of part of it: the fill stands
// for the erase of what it covers, and the rest is erased to white over the last picture.
class PartlyFilledWindow : public WindowClass<PartlyFilledWindow> {
public:
    Canvas* canvas = nullptr;
    static inline bool sCoverAll = true;

protected:
    void Layout() override { setSize(300, 200); }
    void CreateControls() override
    {
        canvas = addControl<Canvas>("canvas", {0, 0, 300, 200}, LockAll);
        canvas->onPaint = [](Graphics& g) {
            g.setForeColor(RGB(0, 0, 0));
            if (sCoverAll) {
                g.fillRect(0, 0, g.width(), g.height());
                return;
            }
            g.setForeColor(RGB(200, 0, 0));
            g.fillRect(50, 40, 100, 60);
            g.fillRows(0, 150, g.width(), {RGB(0, 200, 0), RGB(0, 0, 200)});
            g.fillColumns(250, -10, 500, {RGB(1, 2, 3)});
        };
    }

private:
    friend class WindowClass<PartlyFilledWindow>;
    PartlyFilledWindow() = default;
};

TEST_F(CanvasTest, ADrawingThatBeginsWithAFillOfPartOfTheCanvasShowsWhiteAroundIt)
{
    PartlyFilledWindow::sCoverAll = true;
    PartlyFilledWindow& w = PartlyFilledWindow::instance();
    pt::activate(w);
    w.refresh();
    ASSERT_EQ(pt::shownPixels(*w.canvas).pixel(10, 10), RGB(0, 0, 0));

    PartlyFilledWindow::sCoverAll = false;
    w.refresh();
    const Picture shown = pt::shownPixels(*w.canvas);
    Picture expected(w.canvas->width(), w.canvas->height());
    w.canvas->onPaint(expected.graphics());
    for (int32_t y = 0; y < expected.height(); ++y)
        for (int32_t x = 0; x < expected.width(); ++x)
            ASSERT_EQ(shown.pixel(x, y), expected.pixel(x, y)) << x << ", " << y;
    EXPECT_EQ(shown.pixel(10, 10), RGB(255, 255, 255));
    EXPECT_EQ(shown.pixel(60, 50), RGB(200, 0, 0));
    EXPECT_EQ(shown.pixel(60, 151), RGB(0, 0, 200));
}

// The failing rows lie in the last band, which the user-interface thread draws itself, or in
// the first, which a worker draws: either way every band is done before the paint ends (the
// address sanitizer sees any band still drawing into the paint's freed frame), and the failure
// is reported once, as any exception that escapes the program's code.
class FailingBandTest : public CanvasTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(FailingBandTest, IsReportedOnceEveryBandIsDone)
{
    FailingBandWindow::sFailTop = GetParam();
    ModalScript script;
    script.expect(Kind::Message, [](const pt::ModalRequest& r) {
        EXPECT_NE(r.message.find("band out of paint"), std::string::npos) << r.message;
        return pt::ModalAnswer::ok();
    });
    FailingBandWindow& w = FailingBandWindow::instance();
    pt::activate(w);
    w.refresh();
    pt::processEvents();
    EXPECT_TRUE(script.done());
}

INSTANTIATE_TEST_SUITE_P(Rows, FailingBandTest, ::testing::Values(1190, 2));

} // namespace
