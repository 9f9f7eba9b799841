#pragma once

// The floor the platform's drawing is measured against: the same primitives drawn straight
// with the toolkit's painter into an image, with no Graphics layer between. Only the
// benchmarks use it.

#include "platform/color.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace platform::bench {

class PainterFloor {
public:
    PainterFloor(int32_t width, int32_t height);
    ~PainterFloor();
    PainterFloor(const PainterFloor&) = delete;
    PainterFloor& operator=(const PainterFloor&) = delete;

    void fillWhite(int32_t width, int32_t height);
    /// A black line as wide as a pen of k hanging right and below its points.
    void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t k);
    /// A rounded box filled with the colour and outlined in black, corners of 15 by 15.
    void box(int32_t x, int32_t y, int32_t width, int32_t height, Color fill);
    /// Text of size 9, 12 or bold 12, with its baseline at y.
    void text(std::string_view s, int32_t x, int32_t y, int32_t size, bool bold);
    double textWidth(std::string_view s, int32_t size, bool bold);
    /// A pixel as 0xRRGGBB.
    uint32_t pixel(int32_t x, int32_t y) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace platform::bench
