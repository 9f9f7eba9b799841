// The three views redrawn on the bare painter floor: the same primitives at the same places,
// worked out directly from the document.

#include "bench/view_floors.h"

#include "app/frmMain.h"
#include "app/myLib.h"
#include "forcefield/ffield.h"
#include "graph/graph.h"
#include "spider/SpiderDrawing.h"

#include "platform/bench/painter_floor.h"
#include "platform/values.h"

#include <algorithm>
#include <array>
#include <cmath>

using platform::Color;
using platform::RGB;
using platform::ToInt32;
using platform::bench::PainterFloor;

namespace {

constexpr Color kBlack = RGB(0, 0, 0);
constexpr Color kWhite = RGB(255, 255, 255);

void drawSpider(const frmMain& w, PainterFloor& f, int32_t W, int32_t H)
{
    // The mapping of the canvas's size, worked out anew: the shown model space over W by H.
    const double sx = static_cast<float>(static_cast<double>(frmMain::kShownModelWidth) / W);
    const double sy = static_cast<float>(static_cast<double>(frmMain::kShownModelHeight) / H);
    auto mx = [sx](int32_t v) { return ToInt32(v / sx); };
    auto my = [sy](int32_t v) { return ToInt32(v / sy); };

    f.fillRect(0, 0, W, H, kWhite);
    const int32_t n = w.NumPlayer;
    // Each box's width from its texts, and where it lies: moved onto the canvas as far as it
    // takes to lie whole there; its lines end at its centre moved as far.
    std::array<int32_t, kPlayerLimit + 1> ws{}, wn{}, bx{}, by{}, dx{}, dy{};
    for (int32_t i = 0; i <= n; ++i) {
        const Player& a = w.Player[i];
        const bool centre = i == 0;
        ws[i] = ToInt32(f.textWidth(a.Subtitle, 9, false) + 20);
        wn[i] = ToInt32(f.textWidth(a.Name, 12, centre) * (centre ? 1.05 : 1.0) + 20);
        const int32_t width = std::max(ws[i], wn[i]);
        bx[i] = std::max(0, std::min(mx(a.x), W - width));
        by[i] = std::max(0, std::min(my(a.y), H - a.Height));
        dx[i] = bx[i] - mx(a.x);
        dy[i] = by[i] - my(a.y);
    }
    auto endX = [&](int32_t i) { return mx(w.Player[i].xcentre) + dx[i]; };
    auto endY = [&](int32_t i) { return my(w.Player[i].ycentre) + dy[i]; };
    for (int32_t i = 1; i <= n; ++i) {
        const Player& a = w.Player[i];
        if (a.LinkMain)
            f.line(endX(i), endY(i), endX(0), endY(0),
                   LinePenSize(a.Importance, SpiderTarget::Screen), kBlack);
    }
    for (int32_t i = 1; i <= n; ++i)
        for (int32_t j = i + 1; j <= n; ++j)
            if (w.Links[i][j] > 0)
                f.line(endX(i), endY(i), endX(j), endY(j),
                       LinePenSize(w.Links[i][j], SpiderTarget::Screen), kBlack);

    auto box = [&](int32_t i, Color fill, bool bold) {
        const Player& a = w.Player[i];
        const int32_t x = bx[i];
        const int32_t y = by[i];
        f.box(x, y, std::max(ws[i], wn[i]), a.Height, fill);
        const double shift = (wn[i] - ws[i]) / 2.0;
        f.text(a.Name, ToInt32(x + 10 + (ws[i] < wn[i] ? 0 : -shift)), y + 20, 12, bold, kBlack);
        f.text(a.Subtitle, ToInt32(x + 10 + (ws[i] < wn[i] ? shift : 0)), y + 35, 9, false, kBlack);
    };
    for (int32_t i = 1; i <= n; ++i) {
        const Player& a = w.Player[i];
        box(i, a.Unknown ? kUnknownColour : PositionColour(std::clamp(a.Position, -100, 100)),
            false);
    }
    const Player& c = w.Player[0];
    const int32_t average = n > 1 ? ImportanceWeightedAverage(w) : 0;
    const Color centre = c.Unknown     ? kUnknownColour
                         : w.AveColour ? PositionColour(average)
                                       : PositionColour(c.Position);
    box(0, centre, true);
}

void drawLegend(const frmMain& w, PainterFloor& f)
{
    f.fillRect(0, 0, 201, 15, kWhite);
    for (int32_t v = -100; v <= 100; ++v)
        f.fillRect(v + 101, 1, 1, 15, PositionColour(v));
    f.rectOutline(0, 0, 200, 14, kBlack);
    const int32_t average = w.NumPlayer > 1 ? ImportanceWeightedAverage(w) : 0;
    const double a = std::clamp(static_cast<double>(average), -100.0, 100.0);
    f.fillRect(ToInt32(a + 100), 0, 1, 15, kBlack);
    f.fillRect(ToInt32(a + 93), 7, 15, 1, kBlack);
    f.ovalOutline(ToInt32(a + 95), 2, 11, 11, kBlack);
}

} // namespace

void DrawSpiderFloor(const frmMain& w, size_t area, PainterFloor& f, int32_t W, int32_t H)
{
    if (area == 0)
        drawSpider(w, f, W, H);
    else
        drawLegend(w, f);
}

void DrawGraphFloor(const graph& window, const frmMain& doc, PainterFloor& f, int32_t W, int32_t H)
{
    const GraphMapping m = GraphMapping::screen(W, H);
    constexpr Color kAxes = RGB(50, 50, 100);

    f.fillRect(0, 0, W, H, kWhite);
    if (window.ColourBkgd)
        for (int32_t i = 1; i <= W; ++i) {
            const int32_t c = ToInt32((i - W / 2.0) * 200 / W);
            f.fillRect(i, 0, 1, H, RGB(255 - 2 * c, 255 + 2 * c, 0));
        }
    f.rectOutline(0, 0, W - 1, H - 1, kBlack);

    const int32_t x0 = m.plotx(0);
    f.line(x0, m.ploty(0), x0, m.ploty(100), 1, kAxes);
    for (int32_t v = 0; v <= 100; v += 20) {
        f.line(x0, m.ploty(v), x0 + 3, m.ploty(v), 1, kAxes);
        f.textInside(platform::Str(v), x0 + 5, m.ploty(v) + 3, 9, false, kAxes, W, H);
    }
    f.textInside("Important", m.plotx(-5), m.ploty(103), 9, false, kAxes, W, H);
    f.textInside("Irrelevant", m.plotx(-5), m.ploty(-5), 9, false, kAxes, W, H);
    const int32_t y50 = m.ploty(50);
    f.line(m.plotx(-100), y50, m.plotx(100), y50, 1, kAxes);
    for (int32_t v = -100; v <= 100; v += 20) {
        f.line(m.plotx(v), y50, m.plotx(v), y50 + 3, 1, kAxes);
        f.textInside(platform::Str(v), m.plotx(v) - 7, y50 + 12, 9, false, kAxes, W, H);
    }
    f.textInside("Enemies", m.plotx(-100), m.ploty(51), 9, false, kAxes, W, H);
    f.textInside("Allies", m.plotx(93), m.ploty(51), 9, false, kAxes, W, H);

    const int32_t n = doc.NumPlayer;
    std::array<int32_t, kPlayerLimit + 1> X{};
    std::array<int32_t, kPlayerLimit + 1> Y{};
    std::array<double, kPlayerLimit + 1> width{};
    for (int32_t i = 1; i <= n; ++i) {
        const Player& p = doc.Player[i];
        X[i] = m.plotx(ToInt32(myLib::InRange(static_cast<float>(p.Position), -100, 100))) - 2;
        Y[i] = m.ploty(ToInt32(myLib::InRange(static_cast<float>(p.Importance), 0, 100))) - 2;
        if (window.CaptionsOn)
            width[i] = f.textWidth(p.Name, 9, false);
    }
    for (int32_t i = 1; i <= n; ++i) {
        if (doc.Player[i].Unknown)
            continue;
        f.fillRect(X[i], Y[i], 4, 4, window.ColourBkgd ? kWhite : kBlack);
        if (!window.CaptionsOn)
            continue;
        bool shifted = false;
        for (int32_t j = i + 1; j <= n && !shifted; ++j)
            shifted = std::abs(static_cast<double>(Y[i]) - Y[j]) < 20 &&
                      ((X[j] - 4.0 < X[i] + width[i] && X[i] <= X[j]) ||
                       (X[i] - 4.0 < X[j] + width[j] && X[j] <= X[i]));
        f.textInside(doc.Player[i].Name, X[i] + 4, Y[i] + (shifted ? 10 : 0), 9, false, kBlack, W,
                     H);
    }
}

void DrawForceFieldFloor(const ffield& window, const frmMain& doc, PainterFloor& f, int32_t W,
                         int32_t H)
{
    const double w = W;
    const double h = H;
    const int32_t n = doc.NumPlayer;
    const int32_t column = ForceFieldColumnWidth(w, n);
    float largest = 0;
    for (int32_t i = 1; i <= n; ++i)
        if (IsDrawnInForceField(doc.Player[i]))
            largest =
                std::max(largest, std::abs(static_cast<float>(ForceFieldScore(doc.Player[i]))));
    const double unscaled = h > 0 ? largest * 3.2 / static_cast<float>(H) : 0.0;
    const auto scale = static_cast<double>(static_cast<float>(unscaled >= 3.0 ? unscaled : 5.0));

    f.fillRect(0, 0, W, H, kWhite);
    if (window.background) {
        for (int32_t i = 1; i <= h / 2; ++i)
            f.fillRect(0, i, W, 1, RGB(255 - ToInt32(static_cast<double>(i * 510LL) / h), 255, 0));
        for (int32_t i = ToInt32(h / 2 + 1); i <= h; ++i)
            f.fillRect(0, i, W, 1, RGB(255, ToInt32(static_cast<double>(i * 510LL) / h - 255), 0));
    } else {
        f.fillRect(0, 0, W - 1, H - 1, kWhite);
    }
    f.rectOutline(0, 0, W, H - 1, kBlack);
    const int32_t bandTop = ToInt32(h / 2 - 10);
    f.fillRect(0, bandTop, W, 20, kWhite);
    f.rectOutline(0, bandTop, W, 20, kBlack);
    const std::string& issue = doc.Player[0].Name;
    f.textInside(issue, ToInt32(w / 2 - f.textWidth(issue, 12, false) / 2), ToInt32(h / 2 + 5), 12,
                 false, kBlack, W, H);

    std::array<int32_t, 14> arrow{};
    for (int32_t i = 1; i <= n; ++i) {
        const Player& p = doc.Player[i];
        if (!IsDrawnInForceField(p))
            continue;
        const int32_t x = ToInt32(static_cast<double>(column) * i + 10);
        const double s = static_cast<float>(ForceFieldScore(p));
        const bool above = s > 0 || (s == 0 && p.Position > 0);
        const int32_t y = ToInt32(above ? h / 6 + s / scale : h * 5 / 6 + s / scale);
        const std::array<int32_t, 15>& shape = above ? window.arrow : window.arrowd;
        for (size_t k = 0; k < 14; k += 2) {
            arrow[k] = shape[k + 1] + x;
            arrow[k + 1] = shape[k + 2] + y;
        }
        f.polygonOutline(arrow.data(), arrow.size(), window.background ? kWhite : kBlack);
        if (window.CaptionsOn) {
            const int32_t tx = ToInt32(x - f.textWidth(p.Name, 9, false) / 2);
            const int32_t ty = above ? y - 80 + 12 * (i % 3) : y + 63 + 10 * (i % 3);
            f.textInside(p.Name, tx, ty, 9, false, kBlack, W, H);
        }
    }
}
