// Drags in each view, at random, over a large document: after each one, what every canvas the
// change repaints shows on the screen is what a full repaint of the same document draws, pixel
// for pixel. Boxes lie over each other, links cross the moved player, the central issue is
// moved too, and players are dropped on the legend's row beneath the spider plot and taken
// off it again.

#include "app/frmMain.h"
#include "forcefield/ffield.h"
#include "graph/graph.h"

#include "tests/support/app_fixture.h"

#include "platform/controls.h"
#include "platform/graphics.h"
#include "platform/picture.h"
#include "platform/testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

namespace pt = platform::testing;

enum class View { Spider, ForceField, Graph };

struct RepaintCase {
    const char* name;
    View view;
    bool maximised; ///< on a screen of 3840 x 2160; otherwise the window at 772 x 624
    int32_t drags;
};

std::string PrintToString(const RepaintCase& c)
{
    return c.name;
}

constexpr int32_t kPlayers = 50;

// Two rings of players about the central issue, every player linked to every other, and a
// few players heaped on the same spot so that their boxes lie over each other.
void loadCrowdedDocument(frmMain& m)
{
    std::vector<testsupport::FixturePlayer> players;
    players.emplace_back("Central issue of the test", 30, 50, 330, 280, "Its subtitle");
    for (int32_t i = 1; i <= kPlayers; ++i) {
        const double a = 2 * std::numbers::pi * i / kPlayers;
        const double r = i % 2 ? 1.0 : 0.6;
        int32_t x = static_cast<int32_t>(360 + std::cos(a) * 320 * r);
        int32_t y = static_cast<int32_t>(290 + std::sin(a) * 260 * r);
        if (i % 7 == 0) { // a heap near the centre
            x = 300 + i;
            y = 250 + i / 2;
        }
        players.emplace_back("Player number " + std::to_string(i), (i * 37) % 201 - 100,
                             (i * 23) % 101, x, y, i % 2 ? "" : "Subtitle " + std::to_string(i),
                             i % 5 != 0, i % 11 == 0);
    }
    testsupport::LoadDocument(m, players);
    for (int32_t i = 1; i <= kPlayers; ++i)
        for (int32_t j = i + 1; j <= kPlayers; ++j)
            if ((i + j) % 3 != 0)
                m.Links[i][j] = m.Links[j][i] = (i * 7 + j * 13) % 100 + 1;
    m.AveColour = true;
    m.DocumentChanged();
}

// The first pixel where what the canvas of `window` shows differs from what its paint draws
// afresh on a picture of the canvas's size, as "x, y: shown, drawn"; empty when none does.
// Pixels that another control of the window covers (a button left where it stood when the
// window grew) are not the canvas's: they stay as `covered` showed them, when given.
std::string firstDifference(platform::Window& window, platform::Canvas& canvas,
                            const platform::Picture* covered = nullptr)
{
    const platform::Picture shown = pt::shownPixels(canvas);
    platform::Picture drawn(canvas.width(), canvas.height());
    canvas.onPaint(drawn.graphics());
    pt::finishPaints(); // what that paint asked of the other canvases
    if (shown.width() != drawn.width() || shown.height() != drawn.height())
        return "the sizes differ";
    const auto controls = pt::controlsOnScreen(window);
    platform::Rect at{};
    for (const auto& [control, rect] : controls)
        if (control == &canvas)
            at = rect;
    std::vector<platform::Rect> others;
    for (const auto& [control, rect] : controls)
        if (control && control != &canvas)
            others.push_back({rect.left - at.left, rect.top - at.top, rect.width, rect.height});
    const auto isCovered = [&](int32_t x, int32_t y) {
        return std::any_of(others.begin(), others.end(), [&](const platform::Rect& r) {
            return r.left <= x && x < r.left + r.width && r.top <= y && y < r.top + r.height;
        });
    };
    const auto text = [](platform::Color c) {
        return std::to_string(c.r) + "/" + std::to_string(c.g) + "/" + std::to_string(c.b);
    };
    for (int32_t y = 0; y < drawn.height(); ++y)
        for (int32_t x = 0; x < drawn.width(); ++x) {
            const bool other = isCovered(x, y);
            if (!other && shown.pixel(x, y) != drawn.pixel(x, y))
                return std::to_string(x) + ", " + std::to_string(y) + ": " +
                       text(shown.pixel(x, y)) + " shown, " + text(drawn.pixel(x, y)) + " drawn";
            if (other && covered && shown.pixel(x, y) != covered->pixel(x, y))
                return std::to_string(x) + ", " + std::to_string(y) +
                       ", under another control: " + text(shown.pixel(x, y)) + " shown, " +
                       text(covered->pixel(x, y)) + " before";
        }
    return {};
}

// Where the players stand, in each view's terms.
std::vector<int32_t> placesOf(const frmMain& m)
{
    std::vector<int32_t> places;
    for (int32_t i = 0; i <= m.NumPlayer; ++i) {
        const ::Player& p = m.Player[i];
        places.insert(places.end(), {p.x, p.y, p.xcentre, p.ycentre, p.Position, p.Importance});
    }
    return places;
}

struct Drag {
    int32_t x, y, toX, toY;
    std::string what;
};

class PartialRepaintTest : public testsupport::AppTest,
                           public ::testing::WithParamInterface<RepaintCase> {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        const RepaintCase& c = GetParam();
        if (c.maximised)
            pt::setScreenSize(3840, 2160);
        frmMain& m = main();
        m.setSize(772, 624);
        loadCrowdedDocument(m);
        platform::Window* w = &m;
        if (c.view == View::ForceField) {
            ffield& f = ffield::instance();
            f.background = true;
            f.CaptionsOn = true;
            w = &f;
        } else if (c.view == View::Graph) {
            graph& g = graph::instance();
            g.ColourBkgd = true;
            g.CaptionsOn = true;
            w = &g;
        }
        pt::activate(*w);
        if (c.maximised)
            pt::maximise(*w);
        else if (w != &m)
            w->setSize(772, 624);
        pt::finishPaints();
        mWindow = w;
    }

    platform::Canvas& viewCanvas() const
    {
        switch (GetParam().view) {
        case View::ForceField:
            return *ffield::instance().cGraph;
        case View::Graph:
            return *graph::instance().cGraph;
        case View::Spider:
            break;
        }
        return *frmMain::instance().Canvas1;
    }

    // A point on the canvas at least `least` pixels from (x, y) in each direction it moves.
    static int32_t awayFrom(std::mt19937& rnd, int32_t v, int32_t size, int32_t least)
    {
        std::uniform_int_distribution<int32_t> any(0, size - 1);
        int32_t to = any(rnd);
        if (std::abs(to - v) < least)
            to = v + least < size ? v + least : std::max(0, v - least);
        return to;
    }

    Drag spiderDrag(std::mt19937& rnd, int32_t step)
    {
        frmMain& m = main();
        const platform::Canvas& c = *m.Canvas1;
        const int32_t W = c.width(), H = c.height();
        // The central issue every fifth drag, otherwise any player.
        const int32_t i =
            step % 5 == 0 ? 0 : std::uniform_int_distribution<int32_t>(1, m.NumPlayer)(rnd);
        const ::Player& p = m.Player[i];
        Drag d{std::clamp(m.plotx(p.xcentre), 0, W - 1), std::clamp(m.ploty(p.ycentre), 0, H - 1),
               0, 0, "player " + std::to_string(i)};
        switch (step % 4) {
        case 0: { // onto another player's box
            const ::Player& q =
                m.Player[std::uniform_int_distribution<int32_t>(1, m.NumPlayer)(rnd)];
            d.toX = std::clamp(m.plotx(q.xcentre) + 15, 0, W - 1);
            d.toY = std::clamp(m.ploty(q.ycentre) + 8, 0, H - 1);
            d.what += " onto another";
            break;
        }
        case 1: // onto the legend's row, along the bottom edge
            d.toX = awayFrom(rnd, d.x, W, 60);
            d.toY = H - 1 - std::uniform_int_distribution<int32_t>(0, 4)(rnd);
            d.what += " onto the legend's row";
            break;
        default: // anywhere: off the legend's row again
            d.toX = awayFrom(rnd, d.x, W, 60);
            d.toY = awayFrom(rnd, d.y, H - 40, 60);
            d.what += " anywhere";
            break;
        }
        return d;
    }

    Drag forceFieldDrag(std::mt19937& rnd, int32_t step)
    {
        frmMain& m = main();
        ffield& f = ffield::instance();
        const int32_t W = f.cGraph->width(), H = f.cGraph->height();
        // Every other drag the first column, by the window's buttons, far enough to change the
        // scale of every arrow.
        int32_t i = step % 2 ? std::uniform_int_distribution<int32_t>(1, m.NumPlayer)(rnd) : 1;
        while (!IsDrawnInForceField(m.Player[i]))
            i = i % m.NumPlayer + 1;
        const int32_t x = ForceFieldColumnWidth(W, m.NumPlayer) * i + 10;
        const int32_t y = std::uniform_int_distribution<int32_t>(H / 8, H * 7 / 8)(rnd);
        return {x, y, x, awayFrom(rnd, y, H, step % 2 ? 40 : H / 3), "column " + std::to_string(i)};
    }

    Drag graphDrag(std::mt19937& rnd)
    {
        frmMain& m = main();
        graph& g = graph::instance();
        const int32_t W = g.cGraph->width(), H = g.cGraph->height();
        const GraphMapping map = GraphMapping::screen(W, H);
        int32_t i = std::uniform_int_distribution<int32_t>(1, m.NumPlayer)(rnd);
        while (m.Player[i].Unknown)
            i = i % m.NumPlayer + 1;
        const ::Player& p = m.Player[i];
        const int32_t x = std::clamp(map.plotx(p.Position), 0, W - 1);
        const int32_t y = std::clamp(map.ploty(p.Importance), 0, H - 1);
        return {x, y, awayFrom(rnd, x, W, 30), awayFrom(rnd, y, H, 30), "dot " + std::to_string(i)};
    }

    platform::Window* mWindow = nullptr;
};

TEST_P(PartialRepaintTest, EveryDragShowsThePixelsOfAFullRepaint)
{
    const RepaintCase& c = GetParam();
    frmMain& m = main();
    platform::Canvas& canvas = viewCanvas();
    ASSERT_EQ(firstDifference(*mWindow, canvas), "") << "before the first drag";
    // What the window's other controls show over the canvas.
    const platform::Picture covered = pt::shownPixels(canvas);
    std::mt19937 rnd(20261211u + static_cast<unsigned>(c.view) * 7u + (c.maximised ? 1u : 0u));
    int32_t moved = 0;
    int32_t fromLayer = 0;
    for (int32_t step = 0; step < c.drags; ++step) {
        const Drag d = c.view == View::Spider       ? spiderDrag(rnd, step)
                       : c.view == View::ForceField ? forceFieldDrag(rnd, step)
                                                    : graphDrag(rnd);
        const std::vector<int32_t> before = placesOf(m);
        pt::mousePress(canvas, d.x, d.y);
        // As a person holds the button a moment: what the press asks for is drawn.
        pt::finishPaints();
        pt::mouseMove(canvas, (d.x + d.toX) / 2, (d.y + d.toY) / 2);
        pt::mouseMove(canvas, d.toX, d.toY);
        pt::mouseRelease(canvas, d.toX, d.toY);
        pt::finishPaints();
        moved += placesOf(m) != before ? 1 : 0;
        fromLayer += pt::paintedFromLayer(canvas) > 0 ? 1 : 0;
        const std::string where = "drag " + std::to_string(step) + ", " + d.what + " from " +
                                  std::to_string(d.x) + ", " + std::to_string(d.y) + " to " +
                                  std::to_string(d.toX) + ", " + std::to_string(d.toY);
        ASSERT_EQ(firstDifference(*mWindow, canvas, &covered), "") << where;
        // The spider plot's legend follows every change of the average.
        ASSERT_EQ(firstDifference(m, *m.Canvas2), "") << where << ", the legend";
        if (c.view != View::Spider) {
            ASSERT_EQ(firstDifference(m, *m.Canvas1), "") << where << ", the spider plot";
        }
    }
    // Nearly every drag moves a player: the drags are not clicks.
    EXPECT_GE(moved, c.drags * 3 / 4);
    // The spider plot's release takes the lines the held box has none of from a layer drawn
    // while the button was held.
    if (c.view == View::Spider) {
        EXPECT_GE(fromLayer, c.drags / 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Views, PartialRepaintTest,
    ::testing::Values(RepaintCase{"SpiderAt772x624", View::Spider, false, 24},
                      RepaintCase{"SpiderMaximisedAt4K", View::Spider, true, 10},
                      RepaintCase{"ForceFieldAt772x624", View::ForceField, false, 16},
                      RepaintCase{"ForceFieldMaximisedAt4K", View::ForceField, true, 8},
                      RepaintCase{"GraphAt772x624", View::Graph, false, 16},
                      RepaintCase{"GraphMaximisedAt4K", View::Graph, true, 8}),
    [](const ::testing::TestParamInfo<RepaintCase>& info) { return info.param.name; });

} // namespace
