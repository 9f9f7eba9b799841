// The spider plot's model space (772 by 624 units) and its mapping to the window's pixels.

#include "app/frmMain.h"

#include "platform/values.h"

#include <algorithm>
#include <cmath>

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

void frmMain::KeepNewBoxOnCanvas(::Player& p) const
{
    if (!(ScaleFactorx > 0) || !(ScaleFactorY > 0) || !Canvas1)
        return;
    // In pixels, as the paint draws the box: the corner mapped, the size as it stands. A box
    // larger than the canvas starts at its left or top edge.
    const int64_t left = plotx(p.x);
    const int64_t top = ploty(p.y);
    const int64_t keptLeft =
        std::max<int64_t>(0, std::min<int64_t>(left, int64_t{Canvas1->width()} - p.Width));
    const int64_t keptTop =
        std::max<int64_t>(0, std::min<int64_t>(top, int64_t{Canvas1->height()} - p.Height));
    if (keptLeft == left && keptTop == top)
        return;
    // unplotx and unploty truncate, which never moves the corner back out.
    if (keptLeft != left)
        p.x = unplotx(static_cast<int32_t>(keptLeft));
    if (keptTop != top)
        p.y = unploty(static_cast<int32_t>(keptTop));
    CentreFromCornerInModelUnits(p);
}

void frmMain::SetMapping(int32_t W, int32_t H)
{
    Offsetx = 0;
    offsety = 0;
    ScaleFactorx = static_cast<float>(772.0 / static_cast<double>(W));
    ScaleFactorY = static_cast<float>(624.0 / static_cast<double>(H));
}

void frmMain::Event_Resized()
{
    PlaceLegend();
    // The half sizes go through the mapping of the new size, which the paint asked for here
    // will set too: converted with that of the last paint, the centres of a window shrunk and
    // restored would end up at the boxes' bottom-right corners.
    SetMapping(width(), height());
    for (int32_t i = 0; i <= std::min(NumPlayer, kPlayerLimit); ++i)
        CentreFromCornerInModelUnits(Player[i]);
    Canvas1->refresh();
}
