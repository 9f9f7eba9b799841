// The spider plot's model space (772 by 624 units), its mapping to the canvas's pixels, and
// where each box is drawn on the canvas and found under the pointer.

#include "app/frmMain.h"

#include "platform/values.h"

#include <algorithm>
#include <cmath>
#include <vector>

using platform::ToInt32;

int32_t frmMain::plotx(int32_t v) const
{
    return ToInt32(static_cast<double>(v) / static_cast<double>(ScaleFactorx) +
                   static_cast<double>(Offsetx));
}

int32_t frmMain::ploty(int32_t v) const
{
    return ToInt32(static_cast<double>(v) / static_cast<double>(ScaleFactorY) +
                   static_cast<double>(offsety));
}

int32_t frmMain::unplotx(int32_t s) const
{
    // The subtraction in 64 bits: pixels far outside the window must not wrap.
    return ToInt32(static_cast<double>(static_cast<int64_t>(s) - Offsetx) *
                   static_cast<double>(ScaleFactorx));
}

int32_t frmMain::unploty(int32_t s) const
{
    return ToInt32(static_cast<double>(static_cast<int64_t>(s) - offsety) *
                   static_cast<double>(ScaleFactorY));
}

float frmMain::Distance(float x1, float y1, float x2, float y2) const
{
    const double dx = static_cast<double>(x1) - static_cast<double>(x2);
    const double dy = static_cast<double>(y1) - static_cast<double>(y2);
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

void frmMain::CentreFromCornerInModelUnits(::Player& p) const
{
    p.xcentre = ToInt32(static_cast<double>(p.x) + unplotx(ToInt32(p.Width / 2.0)));
    p.ycentre = ToInt32(static_cast<double>(p.y) + unploty(ToInt32(p.Height / 2.0)));
}

void frmMain::KeepBoxOnCanvas(::Player& p) const
{
    if (!(ScaleFactorx > 0) || !(ScaleFactorY > 0))
        return;
    const auto [dx, dy] = ShiftOnCanvas(p);
    if (dx == 0 && dy == 0)
        return;
    const platform::Rect box = BoxOnCanvas(p);
    // unplotx and unploty truncate, which never moves the corner back out.
    if (dx != 0)
        p.x = unplotx(box.left);
    if (dy != 0)
        p.y = unploty(box.top);
    CentreFromCornerInModelUnits(p);
}

namespace {

// The start of a run of `size` pixels placed at `at` and moved as little as it takes to lie
// within 0..extent; at 0 when it is longer than that.
int64_t keptWithin(int64_t at, int64_t size, int64_t extent)
{
    return std::max<int64_t>(0, std::min(at, extent - size));
}

} // namespace

platform::Rect frmMain::BoxOnCanvas(const ::Player& p) const
{
    if (!(ScaleFactorx > 0) || !(ScaleFactorY > 0))
        return {p.x, p.y, p.Width, p.Height};
    const int64_t left = keptWithin(plotx(p.x), p.Width, mMappedWidth);
    const int64_t top = keptWithin(ploty(p.y), p.Height, mMappedHeight);
    return {static_cast<int32_t>(left), static_cast<int32_t>(top), p.Width, p.Height};
}

std::pair<int32_t, int32_t> frmMain::ShiftOnCanvas(const ::Player& p) const
{
    if (!(ScaleFactorx > 0) || !(ScaleFactorY > 0))
        return {0, 0};
    const platform::Rect box = BoxOnCanvas(p);
    return {ToInt32(static_cast<double>(box.left) - plotx(p.x)),
            ToInt32(static_cast<double>(box.top) - ploty(p.y))};
}

namespace {

bool contains(const platform::Rect& r, int32_t x, int32_t y)
{
    return r.width > 0 && r.height > 0 && x >= r.left && y >= r.top &&
           int64_t{x} < int64_t{r.left} + r.width && int64_t{y} < int64_t{r.top} + r.height;
}

// What is left of `r` once `cover` is taken away, as up to four rectangles.
void subtract(const platform::Rect& r, const platform::Rect& cover,
              std::vector<platform::Rect>& out)
{
    const int64_t r1 = int64_t{r.left} + r.width;
    const int64_t b1 = int64_t{r.top} + r.height;
    const int64_t cx0 = std::max<int64_t>(r.left, cover.left);
    const int64_t cy0 = std::max<int64_t>(r.top, cover.top);
    const int64_t cx1 = std::min<int64_t>(r1, int64_t{cover.left} + cover.width);
    const int64_t cy1 = std::min<int64_t>(b1, int64_t{cover.top} + cover.height);
    if (cover.width <= 0 || cover.height <= 0 || cx0 >= cx1 || cy0 >= cy1) {
        out.push_back(r);
        return;
    }
    auto add = [&](int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
        if (x0 < x1 && y0 < y1)
            out.push_back({static_cast<int32_t>(x0), static_cast<int32_t>(y0),
                           static_cast<int32_t>(x1 - x0), static_cast<int32_t>(y1 - y0)});
    };
    add(r.left, r.top, r1, cy0); // above the cover
    add(r.left, cy1, r1, b1);    // below it
    add(r.left, cy0, cx0, cy1);  // left of it
    add(cx1, cy0, r1, cy1);      // right of it
}

} // namespace

int32_t frmMain::PlayerAt(int32_t x, int32_t y) const
{
    const int32_t last = std::min(NumPlayer, kPlayerLimit);
    if (last < 0)
        return -1;
    // In the order opposite to the paint's: the central issue is drawn last, over every box.
    if (contains(BoxOnCanvas(Player[0]), x, y))
        return 0;
    for (int32_t i = last; i >= 1; --i)
        if (contains(BoxOnCanvas(Player[i]), x, y))
            return i;
    return -1;
}

bool frmMain::IsInSight(int32_t i) const
{
    const int32_t last = std::min(NumPlayer, kPlayerLimit);
    if (i < 0 || i > last)
        return false;
    std::vector<platform::Rect> seen{BoxOnCanvas(Player[i])};
    std::vector<platform::Rect> left;
    auto takeAway = [&](const platform::Rect& cover) {
        left.clear();
        for (const platform::Rect& r : seen)
            subtract(r, cover, left);
        seen.swap(left);
    };
    if (i != 0) {
        for (int32_t j = i + 1; j <= last && !seen.empty(); ++j)
            takeAway(BoxOnCanvas(Player[j]));
        if (!seen.empty())
            takeAway(BoxOnCanvas(Player[0]));
    }
    return std::any_of(seen.begin(), seen.end(),
                       [](const platform::Rect& r) { return r.width > 0 && r.height > 0; });
}

void frmMain::SetMapping(int32_t W, int32_t H)
{
    Offsetx = 0;
    offsety = 0;
    mMappedWidth = std::max(W, 1);
    mMappedHeight = std::max(H, 1);
    ScaleFactorx = static_cast<float>(kShownModelWidth / static_cast<double>(mMappedWidth));
    ScaleFactorY = static_cast<float>(kShownModelHeight / static_cast<double>(mMappedHeight));
}

void frmMain::Event_Resized()
{
    PlaceLegend();
    // The half sizes go through the mapping of the new size, which the paint asked for here
    // will set too: converted with that of the last paint, the centres of a window shrunk and
    // restored would end up at the boxes' bottom-right corners.
    SetMapping(Canvas1->width(), Canvas1->height());
    for (int32_t i = 0; i <= std::min(NumPlayer, kPlayerLimit); ++i)
        CentreFromCornerInModelUnits(Player[i]);
    Canvas1->refresh();
}
