// The spider plot's drawing, pass by pass: lines to the central issue, links, the player
// boxes, the average position, and the central issue's box on top of everything.

#include "spider/SpiderDrawing.h"

#include "app/Companions.h"
#include "app/frmMain.h"

#include "platform/graphics.h"
#include "platform/values.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

using platform::Color;
using platform::Graphics;
using platform::RGB;
using platform::ToInt32;

namespace {

constexpr Color kBlack = RGB(0, 0, 0);
constexpr Color kWhite = RGB(255, 255, 255);
constexpr int32_t kArc = 15;

// The highest player index to draw: NumPlayer, kept inside the arrays.
int32_t lastPlayer(const frmMain& w)
{
    return std::min(w.NumPlayer, kPlayerLimit);
}

// An Int32 sum that saturates instead of wrapping: corners read from a file are not checked.
int32_t add(int32_t a, int32_t b)
{
    return ToInt32(static_cast<double>(a) + static_cast<double>(b));
}

int32_t measured(Graphics& g, const std::string& text, double factor = 1.0)
{
    return ToInt32(g.stringWidth(text) * factor + 20);
}

class SpiderPainter {
public:
    SpiderPainter(frmMain& w, Graphics& g, SpiderTarget target) : w(w), g(g), target(target) {}

    void draw(int32_t W, int32_t H)
    {
        if (target == SpiderTarget::Screen)
            w.SetMapping(W, H);
        if (target != SpiderTarget::Picture) {
            g.setForeColor(kWhite);
            g.fillRect(0, 0, W, H);
            if (target == SpiderTarget::Screen)
                g.setTextSize(12);
        }
        if (w.NumPlayer >= 0) {
            const int32_t n = lastPlayer(w);
            // The boxes are measured first: on the screen their sizes decide where they lie on
            // the canvas, and the lines end where the boxes are.
            measureBoxes(n);
            drawLinesToCentralIssue(n);
            drawLinks(n);
            drawPlayerBoxes(n);
            if (target == SpiderTarget::Screen)
                w.AverageColour = n > 1 ? ImportanceWeightedAverage(w) : 0;
            drawCentralIssue(centralIssueColour());
        }
        if (target == SpiderTarget::Screen) {
            if (w.Canvas2)
                w.Canvas2->refresh();
            if (w.Swinging)
                RefreshSwingometer(false);
        }
    }

private:
    // Only the screen maps: the page and the picture are drawn in model units.
    int32_t mapX(int32_t v) const { return target == SpiderTarget::Screen ? w.plotx(v) : v; }
    int32_t mapY(int32_t v) const { return target == SpiderTarget::Screen ? w.ploty(v) : v; }

    // Where a player's lines end: its centre, moved as its box is moved onto the canvas.
    std::pair<int32_t, int32_t> lineEnd(int32_t i) const
    {
        const Player& p = w.Player[i];
        const auto [dx, dy] = target == SpiderTarget::Screen ? boxShift[static_cast<size_t>(i)]
                                                             : std::pair<int32_t, int32_t>{0, 0};
        return {add(mapX(p.xcentre), dx), add(mapY(p.ycentre), dy)};
    }

    // Whether the pointer's button holds the player's box on the screen.
    bool isHeld(int32_t i) const { return target == SpiderTarget::Screen && w.Held == i; }

    // Each box's width from its text, as drawBox writes it: the wider of the name and the
    // subtitle. The central issue's name is bold but on the picture, with an allowance for it.
    void measureBoxes(int32_t n)
    {
        for (int32_t i = 0; i <= n; ++i) {
            Player& p = w.Player[i];
            const bool centre = i == 0;
            g.setTextSize(9);
            g.setBold(centre && target == SpiderTarget::Page);
            subtitleWidth[static_cast<size_t>(i)] = measured(g, p.Subtitle);
            g.setTextSize(12);
            const bool boldName = centre && target != SpiderTarget::Picture;
            g.setBold(boldName);
            nameWidth[static_cast<size_t>(i)] = measured(g, p.Name, boldName ? 1.05 : 1.0);
            p.Width =
                std::max(nameWidth[static_cast<size_t>(i)], subtitleWidth[static_cast<size_t>(i)]);
            if (target == SpiderTarget::Screen)
                boxShift[static_cast<size_t>(i)] = w.ShiftOnCanvas(p);
        }
        g.setBold(false);
    }

    void drawLinesToCentralIssue(int32_t n)
    {
        for (int32_t i = 1; i <= n; ++i) {
            const Player& p = w.Player[i];
            g.setForeColor(kBlack);
            const int32_t k = LinePenSize(p.Importance, target);
            g.setPenHeight(k);
            g.setPenWidth(k);
            if (p.LinkMain) {
                const auto [x1, y1] = lineEnd(i);
                const auto [x2, y2] = lineEnd(0);
                g.setLikelyToChange(isHeld(i) || isHeld(0));
                g.drawLine(x1, y1, x2, y2);
            }
        }
    }

    void drawLinks(int32_t n)
    {
        g.setForeColor(kBlack);
        g.setPenHeight(1);
        g.setPenWidth(1);
        // The matrix is symmetric: the cells above the diagonal hold every link once.
        for (int32_t i = 1; i <= n; ++i) {
            for (int32_t j = i + 1; j <= n; ++j) {
                const int32_t strength = w.Links[i][j];
                if (strength <= 0)
                    continue;
                const int32_t k = LinePenSize(strength, target);
                g.setPenHeight(k);
                g.setPenWidth(k);
                const auto [x1, y1] = lineEnd(i);
                const auto [x2, y2] = lineEnd(j);
                g.setLikelyToChange(isHeld(i) || isHeld(j));
                g.drawLine(x1, y1, x2, y2);
            }
        }
        g.setLikelyToChange(false);
    }

    void drawPlayerBoxes(int32_t n)
    {
        g.setPenHeight(1);
        g.setPenWidth(1);
        for (int32_t i = 1; i <= n; ++i) {
            const Player& p = w.Player[i];
            Color fill = kUnknownColour;
            if (!p.Unknown) {
                // Only the screen keeps a box within the colours of -100..100.
                const double v = target == SpiderTarget::Screen
                                     ? std::clamp(static_cast<double>(p.Position), -100.0, 100.0)
                                     : static_cast<double>(p.Position);
                fill = PositionColour(v);
            }
            g.setTextSize(12);
            drawBox(i, fill, false);
        }
    }

    Color centralIssueColour()
    {
        const Player& centre = w.Player[0];
        if (centre.Unknown)
            return kUnknownColour;
        if (!w.AveColour)
            return PositionColour(centre.Position);
        if (target != SpiderTarget::Screen)
            w.AverageColour = ImportanceWeightedAverage(w);
        const Color colour = PositionColour(w.AverageColour);
        if (target == SpiderTarget::Screen && w.Swinging)
            RefreshSwingometer(true);
        return colour;
    }

    void drawCentralIssue(Color fill)
    {
        g.setTextSize(12);
        const bool boldName = target != SpiderTarget::Picture;
        if (boldName)
            g.setBold(true);
        drawBox(0, fill, boldName);
    }

    // The box at the player's corner, outlined, with the narrower of its two lines centred
    // under or over the wider. Expects text size 12 (and bold when `boldName`); leaves size 9
    // and bold off.
    void drawBox(int32_t i, Color fill, bool boldName)
    {
        const Player& p = w.Player[i];
        const int32_t ws = subtitleWidth[static_cast<size_t>(i)];
        const int32_t wn = nameWidth[static_cast<size_t>(i)];
        // The corner is mapped, and kept on the canvas; the size and the text offsets are
        // pixels, as the text is.
        int32_t x = p.x;
        int32_t y = p.y;
        if (target == SpiderTarget::Screen) {
            const platform::Rect box = w.BoxOnCanvas(p);
            x = box.left;
            y = box.top;
        }
        g.setForeColor(fill);
        g.fillRoundRect(x, y, p.Width, p.Height, kArc, kArc);
        g.setForeColor(kBlack);
        g.drawRoundRect(x, y, p.Width, p.Height, kArc, kArc);

        const double shift = (static_cast<double>(wn) - static_cast<double>(ws)) / 2;
        const double nameShift = ws < wn ? 0.0 : -shift;
        const double subtitleShift = ws < wn ? shift : 0.0;
        g.drawString(p.Name, ToInt32(static_cast<double>(add(x, 10)) + nameShift), add(y, 20));
        if (boldName)
            g.setBold(false);
        g.setTextSize(9);
        g.drawString(p.Subtitle, ToInt32(static_cast<double>(add(x, 10)) + subtitleShift),
                     add(y, 35));
    }

    frmMain& w;
    Graphics& g;
    const SpiderTarget target;
    std::array<int32_t, kPlayerLimit + 1> nameWidth{};
    std::array<int32_t, kPlayerLimit + 1> subtitleWidth{};
    std::array<std::pair<int32_t, int32_t>, kPlayerLimit + 1> boxShift{};
};

} // namespace

Color PositionColour(double v)
{
    return RGB(ToInt32(255 - v * 2.55), ToInt32(v * 2.55 + 255), 0);
}

int32_t LinePenSize(int32_t value, SpiderTarget target)
{
    const double k = std::max(1.0, static_cast<double>(value) / 10);
    return ToInt32(target == SpiderTarget::Screen ? std::min(10.0, k) : k);
}

int32_t ImportanceWeightedAverage(const frmMain& w)
{
    // In 64 bits: positions and importances from a file are not checked, and their products
    // and sums must not wrap.
    int64_t weighted = 0;
    int64_t weights = 0;
    for (int32_t i = 1; i <= lastPlayer(w); ++i) {
        const Player& p = w.Player[i];
        if (p.Unknown || !p.LinkMain)
            continue;
        weighted += static_cast<int64_t>(p.Position) * p.Importance;
        weights += p.Importance;
    }
    if (weights == 0)
        return 0;
    return ToInt32(static_cast<double>(weighted) / static_cast<double>(weights));
}

void DrawSpiderPlot(frmMain& w, Graphics& g, SpiderTarget target, int32_t W, int32_t H)
{
    SpiderPainter(w, g, target).draw(W, H);
}

void DrawPageLegend(Graphics& g)
{
    const int32_t h = g.height();
    g.setTextSize(8);
    g.setForeColor(kBlack);
    g.drawString(kPageCaption, 5, h - 2);
    g.drawString("Enemies", ToInt32(515 - g.stringWidth("Enemies")), h - 2);
    for (int32_t v = -100; v <= 100; ++v) {
        g.setForeColor(PositionColour(v));
        g.fillRect(515 + (v + 100), h - 15, 1, 15);
    }
    g.setForeColor(kBlack);
    g.drawRect(515, h - 15, 200, 14);
    g.drawString("Allies", 718, h - 2);
}

void DrawColourLegend(frmMain& w, Graphics& g)
{
    // 201 columns one pixel wide, x = v + 101; the marker for v stands at x = v + 100.
    for (int32_t v = -100; v <= 100; ++v) {
        g.setForeColor(PositionColour(v));
        g.fillRect(v + 101, 1, 1, 15);
    }
    g.setForeColor(kBlack);
    g.drawRect(0, 0, 200, 14);
    const double a = std::clamp(static_cast<double>(w.AverageColour), -100.0, 100.0);
    g.fillRect(ToInt32(a + 100), 0, 1, 15);
    g.fillRect(ToInt32(a + 93), 7, 15, 1);
    g.drawOval(ToInt32(a + 95), 2, 11, 11);
    if (w.stSwing)
        w.stSwing->setText(platform::Str(a));
}
