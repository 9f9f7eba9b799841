// The spider plot's screen paint redone on the bare painter floor, primitive for primitive.

#include "bench/qpainter_floor.h"

#include "app/frmMain.h"

#include "spider/SpiderDrawing.h"

#include "platform/bench/painter_floor.h"
#include "platform/values.h"

#include <algorithm>

using platform::ToInt32;

struct QPainterFloor::Impl {
    Impl(int32_t width, int32_t height) : floor(width, height) {}
    platform::bench::PainterFloor floor;
};

QPainterFloor::QPainterFloor(int32_t width, int32_t height)
    : d(std::make_unique<Impl>(width, height))
{
}

QPainterFloor::~QPainterFloor() = default;

uint32_t QPainterFloor::pixel(int32_t x, int32_t y) const
{
    return d->floor.pixel(x, y);
}

void QPainterFloor::paint(const frmMain& w, int32_t W, int32_t H)
{
    platform::bench::PainterFloor& f = d->floor;
    const double sx = static_cast<float>(772.0 / W);
    const double sy = static_cast<float>(624.0 / H);
    auto mx = [sx](int32_t v) { return ToInt32(v / sx); };
    auto my = [sy](int32_t v) { return ToInt32(v / sy); };

    f.fillWhite(W, H);
    const int32_t n = w.NumPlayer;
    const Player& c = w.Player[0];
    for (int32_t i = 1; i <= n; ++i) {
        const Player& a = w.Player[i];
        if (a.LinkMain)
            f.line(mx(a.xcentre), my(a.ycentre), mx(c.xcentre), my(c.ycentre),
                   LinePenSize(a.Importance, SpiderTarget::Screen));
    }
    for (int32_t i = 1; i <= n; ++i)
        for (int32_t j = i + 1; j <= n; ++j)
            if (w.Links[i][j] > 0)
                f.line(mx(w.Player[i].xcentre), my(w.Player[i].ycentre), mx(w.Player[j].xcentre),
                       my(w.Player[j].ycentre), LinePenSize(w.Links[i][j], SpiderTarget::Screen));

    auto box = [&](const Player& a, platform::Color fill, bool bold, double allowance) {
        const int32_t ws = ToInt32(f.textWidth(a.Subtitle, 9, false) + 20);
        const int32_t wn = ToInt32(f.textWidth(a.Name, 12, bold) * allowance + 20);
        const int32_t bw = std::max(ws, wn);
        const int32_t x = mx(a.x);
        const int32_t y = my(a.y);
        f.box(x, y, bw, a.Height, fill);
        const double shift = (wn - ws) / 2.0;
        f.text(a.Name, ToInt32(x + 10 + (ws < wn ? 0 : -shift)), y + 20, 12, bold);
        f.text(a.Subtitle, ToInt32(x + 10 + (ws < wn ? shift : 0)), y + 35, 9, false);
    };
    for (int32_t i = 1; i <= n; ++i) {
        const Player& a = w.Player[i];
        box(a, a.Unknown ? kUnknownColour : PositionColour(std::clamp(a.Position, -100, 100)),
            false, 1.0);
    }
    box(c, PositionColour(w.AverageColour), true, 1.05);
}
