#pragma once

// The floor of the spider plot's paint: the same primitives (the same lines with the same pen
// widths, rounded rectangles and strings, and the text measuring that sizes the boxes) drawn
// straight with the toolkit's painter into an image, with no platform layer between.

#include <cstdint>
#include <memory>

class frmMain;

class QPainterFloor {
public:
    QPainterFloor(int32_t width, int32_t height);
    ~QPainterFloor();

    /// Draws the document of `w` as the screen's paint does for a window of W by H.
    void paint(const frmMain& w, int32_t W, int32_t H);
    /// A pixel as 0xRRGGBB, to check that the floor drew what the paint draws.
    uint32_t pixel(int32_t x, int32_t y) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
