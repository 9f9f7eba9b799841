// The graph's one drawing routine, for the canvas, the printed page and the picture, and the
// canvas's paint.

#include "graph/graph.h"

#include "app/frmMain.h"
#include "app/myLib.h"

#include "platform/graphics.h"
#include "platform/values.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

using platform::Color;
using platform::Graphics;
using platform::RGB;
using platform::Str;
using platform::ToInt32;

namespace {

constexpr Color kBlack = RGB(0, 0, 0);
constexpr Color kWhite = RGB(255, 255, 255);
constexpr Color kAxes = RGB(50, 50, 100);
constexpr double kTextSize = 9;
constexpr int32_t kDot = 4;
// A caption moves down by this much when a later player's caption would run into it.
constexpr int32_t kCaptionShift = 10;
constexpr double kCaptionRows = 20;

// a + d in 64 bits: a dot's corner saturates with its mapped value instead of wrapping.
int32_t moved(int32_t a, int64_t d)
{
    return ToInt32(static_cast<double>(static_cast<int64_t>(a) + d));
}

// One column a pixel wide per x from 1 to W (column 0 stays erased), red on the left through
// yellow in the middle to green on the right; components above 255 are limited by RGB.
void drawBackground(Graphics& g, int32_t W, int32_t H)
{
    const double w = W;
    std::vector<Color> columns;
    columns.reserve(static_cast<size_t>(std::max(W, 0)));
    for (int32_t i = 1; i <= W; ++i) {
        const int32_t c = ToInt32((i - w / 2) * 200 / w);
        columns.push_back(RGB(255 - 2 * c, 255 + 2 * c, 0));
    }
    g.fillColumns(1, 0, H, columns);
}

void drawAxes(Graphics& g, const GraphMapping& m)
{
    g.setForeColor(kAxes);
    const int32_t x0 = m.plotx(0);
    g.drawLine(x0, m.ploty(0), x0, m.ploty(100));
    for (int32_t v = 0; v <= 100; v += 20) {
        g.drawLine(x0, m.ploty(v), moved(x0, 3), m.ploty(v));
        g.drawStringInside(Str(v), moved(x0, 5), moved(m.ploty(v), 3));
    }
    g.drawStringInside("Important", m.plotx(-5), m.ploty(103));
    g.drawStringInside("Irrelevant", m.plotx(-5), m.ploty(-5));

    const int32_t y50 = m.ploty(50);
    g.drawLine(m.plotx(-100), y50, m.plotx(100), y50);
    for (int32_t v = -100; v <= 100; v += 20) {
        g.drawLine(m.plotx(v), y50, m.plotx(v), moved(y50, 3));
        g.drawStringInside(Str(v), moved(m.plotx(v), -7), moved(y50, 12));
    }
    g.drawStringInside("Enemies", m.plotx(-100), m.ploty(51));
    g.drawStringInside("Allies", m.plotx(93), m.ploty(51));
}

// The top-left corner of a player's dot; the screen draws values beyond the axes at their ends
// and leaves the stored values alone.
std::pair<int32_t, int32_t> dotCorner(const ::Player& pl, const GraphMapping& m, bool screen)
{
    int32_t pos = pl.Position;
    int32_t imp = pl.Importance;
    if (screen) {
        pos = ToInt32(myLib::InRange(static_cast<float>(pos), -100, 100));
        imp = ToInt32(myLib::InRange(static_cast<float>(imp), 0, 100));
    }
    return {moved(m.plotx(pos), -2), moved(m.ploty(imp), -2)};
}

int32_t lastPlayer(const frmMain& doc)
{
    return std::min(doc.NumPlayer, kPlayerLimit);
}

} // namespace

void graph::layOutDots(const GraphMapping& m)
{
    const frmMain& doc = frmMain::instance();
    // Dots of players that are gone, or were drawn for another document, are no longer there.
    mDot.fill(false);
    for (int32_t i = 1; i <= lastPlayer(doc); ++i) {
        const ::Player& pl = doc.Player[i];
        if (pl.Unknown)
            continue;
        std::tie(xplot[i], yplot[i]) = dotCorner(pl, m, true);
        mDot[i] = true;
    }
}

void graph::DrawGraph(Graphics& g, const GraphMapping& m, GraphTarget target)
{
    const bool screen = target == GraphTarget::Screen;
    g.setTextSize(kTextSize);
    if (screen && ColourBkgd)
        drawBackground(g, m.W, m.H);
    g.setForeColor(kBlack);
    g.drawRect(0, 0, ToInt32(m.W - 1.0), ToInt32(m.H - 1.0));
    drawAxes(g, m);

    const frmMain& doc = frmMain::instance();
    const int32_t last = lastPlayer(doc);
    if (screen)
        layOutDots(m);

    // Each name is measured once per paint: the caption shift compares every pair.
    std::array<double, kPlayerLimit + 1> nameWidth{};
    if (CaptionsOn)
        for (int32_t i = 1; i <= last; ++i)
            nameWidth[static_cast<size_t>(i)] = g.stringWidth(doc.Player[i].Name);

    for (int32_t i = 1; i <= last; ++i) {
        const ::Player& pl = doc.Player[i];
        if (screen && !mDot[i])
            continue;
        g.setForeColor(screen && ColourBkgd ? kWhite : kBlack);
        const auto [X, Y] = dotCorner(pl, m, screen);
        g.fillRect(X, Y, kDot, kDot);
        if (!CaptionsOn)
            continue;

        // The caption moves down when that of a later player (drawn or not) would run into
        // it; of two colliding names the lower index moves, at most once.
        const double wi = nameWidth[static_cast<size_t>(i)];
        bool shifted = false;
        for (int32_t j = i + 1; j <= last && !shifted; ++j) {
            const auto [Xj, Yj] = dotCorner(doc.Player[j], m, screen);
            const double wj = nameWidth[static_cast<size_t>(j)];
            const bool rows = std::abs(static_cast<double>(Y) - Yj) < kCaptionRows;
            const bool across = (Xj - 4.0 < X + wi && X <= Xj) || (X - 4.0 < Xj + wj && Xj <= X);
            shifted = rows && across;
        }
        g.setForeColor(kBlack);
        // Kept on the canvas: a caption near the right edge ends at it instead of being cut.
        g.drawStringInside(pl.Name, moved(X, 4), moved(Y, shifted ? kCaptionShift : 0));
    }
}

void graph::cGraph_Paint(Graphics& g)
{
    // Every paint fixes the scales that the press, the drag and the release then convert with.
    const GraphMapping m = GraphMapping::screen(cGraph->width(), cGraph->height());
    xscale = m.xscale;
    yscale = m.yscale;
    DrawGraph(g, m, GraphTarget::Screen);
}
