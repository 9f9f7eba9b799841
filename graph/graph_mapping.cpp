// The graph's mapping between positions and importances and the canvas's pixels.

#include "graph/graph.h"

#include "platform/values.h"

using platform::ToInt32;

GraphMapping GraphMapping::screen(int32_t W, int32_t H)
{
    return {static_cast<float>(W / 220.0), static_cast<float>(H / 115.0), W, H};
}

int32_t GraphMapping::plotx(int32_t v) const
{
    return ToInt32(static_cast<double>(xscale) * v + W / 2.0 - 20);
}

int32_t GraphMapping::ploty(int32_t v) const
{
    return ToInt32(H -
                   static_cast<double>(yscale) * static_cast<double>(static_cast<int64_t>(v) + 7));
}

int32_t GraphMapping::unplotx(int32_t x) const
{
    if (!(xscale > 0))
        return 0;
    return ToInt32((static_cast<double>(static_cast<int64_t>(x) + 20) - W / 2.0) /
                   static_cast<double>(xscale));
}

int32_t GraphMapping::unploty(int32_t y) const
{
    if (!(yscale > 0))
        return 0;
    return ToInt32(static_cast<double>(static_cast<int64_t>(H) - y) / static_cast<double>(yscale) -
                   7);
}

GraphMapping graph::mapping() const
{
    return {xscale, yscale, cGraph->width(), cGraph->height()};
}
