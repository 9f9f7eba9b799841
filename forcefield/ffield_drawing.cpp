// The force field diagram: one routine for the canvas, the printed page and the picture.

#include "forcefield/ffield.h"

#include "app/Companions.h"
#include "app/frmMain.h"

#include "platform/graphics.h"
#include "platform/values.h"

#include <algorithm>
#include <cmath>
#include <vector>

using platform::Graphics;
using platform::RGB;
using platform::ToInt32;

namespace {

constexpr platform::Color kWhite = RGB(255, 255, 255);
constexpr platform::Color kBlack = RGB(0, 0, 0);

// Below this the screen's scale is replaced, so that small scores keep a readable spread.
constexpr double kSmallestScreenScale = 3.0;
constexpr double kSmallScoresScreenScale = 5.0;
// The largest score size is drawn this fraction of the height from its base line.
constexpr double kScaleFactor = 3.2;

// Rows one pixel high: yellow at the top to green at the middle, then red just below the
// middle back to yellow at the bottom. Row 0 gets no row of its own.
void paintGradient(Graphics& g, double W, double H)
{
    const int32_t width = ToInt32(W);
    std::vector<platform::Color> upper;
    for (int32_t i = 1; i <= H / 2; ++i) {
        const int32_t c = ToInt32(static_cast<double>(static_cast<int64_t>(i) * 510) / H);
        upper.push_back(RGB(255 - c, 255, 0));
    }
    const int32_t second = ToInt32(H / 2 + 1);
    std::vector<platform::Color> lower;
    for (int32_t i = second; i <= H; ++i) {
        const int32_t c = ToInt32(static_cast<double>(static_cast<int64_t>(i) * 510) / H - 255);
        lower.push_back(RGB(255, c, 0));
    }
    // The lower rows start right under the upper ones, and both are drawn as one fill; where
    // they do not, each half is drawn by itself, the lower over the upper.
    if (int64_t{second} == 1 + static_cast<int64_t>(upper.size())) {
        upper.insert(upper.end(), lower.begin(), lower.end());
        g.fillRows(0, 1, width, upper);
    } else {
        g.fillRows(0, 1, width, upper);
        g.fillRows(0, second, width, lower);
    }
}

int32_t lastPlayer(const frmMain& m)
{
    return std::min(m.NumPlayer, kPlayerLimit);
}

} // namespace

bool IsDrawnInForceField(const Player& p)
{
    return !p.Unknown && p.Position != 0;
}

bool IsChangeableInForceField(const Player& p)
{
    return !p.Unknown;
}

int64_t ForceFieldScore(const Player& p)
{
    return static_cast<int64_t>(p.Position) * p.Importance;
}

int32_t ForceFieldColumnWidth(double width, int32_t numPlayer)
{
    // NumPlayer is at least -1; the divisor is kept at 1 or more whatever it holds.
    const int64_t columns = std::max<int64_t>(1, static_cast<int64_t>(numPlayer) + 2);
    return ToInt32(width / static_cast<double>(columns));
}

ffield::Geometry ffield::workOutGeometry(ForceFieldTarget target, float W, float H)
{
    const frmMain& m = frmMain::instance();
    Geometry geometry;
    geometry.columnWidth = ForceFieldColumnWidth(W, m.NumPlayer);
    float largest = 0;
    // A score left from an earlier drawing would belong to whichever player stood at that
    // index then: a player without an arrow has none.
    posn.fill(0);
    for (int32_t i = 1; i <= lastPlayer(m); ++i) {
        if (!IsDrawnInForceField(m.Player[i]))
            continue;
        posn[i] = static_cast<float>(ForceFieldScore(m.Player[i]));
        largest = std::max(largest, std::abs(posn[i]));
    }
    // A canvas or page without height has nothing to scale to.
    const double scale = H > 0 ? largest * kScaleFactor / H : 0.0;
    if (target == ForceFieldTarget::Screen && !(scale >= kSmallestScreenScale))
        geometry.scale = static_cast<float>(kSmallScoresScreenScale);
    else
        geometry.scale = static_cast<float>(scale);
    return geometry;
}

void ffield::DrawDiagram(Graphics& g, ForceFieldTarget target, float W, float H)
{
    const frmMain& m = frmMain::instance();
    const bool screen = target == ForceFieldTarget::Screen;
    const Geometry geometry = workOutGeometry(target, W, H);
    if (screen) {
        xstep = geometry.columnWidth;
        ymax = geometry.scale;
    }
    const double w = W;
    const double h = H;

    if (screen) {
        if (background) {
            paintGradient(g, w, h);
        } else {
            g.setForeColor(kWhite);
            g.fillRect(0, 0, ToInt32(w - 1), ToInt32(h - 1));
        }
    }
    g.setForeColor(kBlack);
    g.drawRect(0, 0, ToInt32(w), ToInt32(h - 1));

    const int32_t bandTop = ToInt32(h / 2 - 10);
    if (screen) {
        g.setForeColor(kWhite);
        g.fillRect(0, bandTop, ToInt32(w), 20);
        g.setForeColor(kBlack);
    }
    g.drawRect(0, bandTop, ToInt32(w), 20);

    g.setTextSize(12);
    const std::string& issue = m.Player[0].Name;
    g.drawStringInside(issue, ToInt32(w / 2 - g.stringWidth(issue) / 2), ToInt32(h / 2 + 5));

    g.setTextSize(9);
    const double scale = geometry.scale;
    for (int32_t i = 1; i <= lastPlayer(m); ++i) {
        g.setForeColor(screen && background ? kWhite : kBlack);
        const Player& p = m.Player[i];
        if (!IsDrawnInForceField(p))
            continue;
        const int32_t x = ToInt32(static_cast<double>(geometry.columnWidth) * i + 10);
        const double s = posn[i];
        // Above the band, pointing down at it, or below it pointing up; a score of 0 (an
        // importance of 0) goes by the sign of the position on screen and below on paper.
        const bool above = s > 0 || (screen && s == 0 && p.Position > 0);
        const double offset = scale > 0 ? s / scale : 0.0;
        const int32_t y = ToInt32(above ? h / 6 + offset : h * 5 / 6 + offset);
        const std::array<int32_t, 15>& shape = above ? arrow : arrowd;
        for (size_t k = 1; k <= 13; k += 2) {
            arrow2[k] = shape[k] + x;
            arrow2[k + 1] = shape[k + 1] + y;
        }
        g.drawPolygon(std::vector<int32_t>(arrow2.begin() + 1, arrow2.end()));

        if (CaptionsOn) {
            g.setForeColor(kBlack);
            const int32_t tx = ToInt32(x - g.stringWidth(p.Name) / 2);
            const int32_t ty = above ? y - 80 + 12 * (i % 3) : y + 63 + 10 * (i % 3);
            // Kept on the canvas or the page: a caption by the first or last column, or
            // above a low diagram, is moved in instead of being cut.
            g.drawStringInside(p.Name, tx, ty);
        }
    }

    if (screen && m.Swinging)
        RefreshSwingometer(false);
}

void ffield::cGraph_Paint(Graphics& g)
{
    DrawDiagram(g, ForceFieldTarget::Screen, static_cast<float>(cGraph->width()),
                static_cast<float>(cGraph->height()));
}
