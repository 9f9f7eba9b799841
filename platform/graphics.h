#pragma once

#include "platform/color.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace platform {

namespace detail {
struct GraphicsImpl;
}

/// A drawing surface: a canvas during its paint, a printed page or a picture.
///
/// Coordinates are Int32 pixels (points on a page) from the top-left corner, y down.
/// Rectangles and ovals take x, y, width and height; outlines lie inside their rectangle.
/// Lines are drawn with a rectangular pen of penWidth by penHeight that hangs below and to
/// the right of the line's points. Nothing is antialiased but text. Text sizes are pixel
/// sizes; drawString puts the baseline at y. A fresh surface draws black with a 1-pixel
/// pen, text size 12, not bold.
class Graphics {
public:
    explicit Graphics(std::unique_ptr<detail::GraphicsImpl> impl);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    int32_t width() const;
    int32_t height() const;

    Color foreColor() const;
    void setForeColor(Color c);
    int32_t penWidth() const;
    void setPenWidth(int32_t w);
    int32_t penHeight() const;
    void setPenHeight(int32_t h);
    double textSize() const;
    void setTextSize(double size);
    void setBold(bool bold);

    void fillRect(int32_t x, int32_t y, int32_t w, int32_t h);
    /// Columns one pixel wide and h high side by side from x, the first in colors[0]: the
    /// pixels of fillRect(x + i, y, 1, h) in colors[i] for each i, drawn at the cost of one
    /// fill.
    void fillColumns(int32_t x, int32_t y, int32_t h, const std::vector<Color>& colors);
    /// Rows one pixel high one under another from y, the first in colors[0]: the pixels of
    /// fillRect(x, y + i, w, 1) in colors[i] for each i, drawn as one operation.
    void fillRows(int32_t x, int32_t y, int32_t w, const std::vector<Color>& colors);
    void drawRect(int32_t x, int32_t y, int32_t w, int32_t h);
    void fillOval(int32_t x, int32_t y, int32_t w, int32_t h);
    void drawOval(int32_t x, int32_t y, int32_t w, int32_t h);
    /// Fills the rounded rectangle that drawRoundRect with the same arguments outlines, up to
    /// and including its outline, and nothing outside it.
    void fillRoundRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t arcW, int32_t arcH);
    void drawRoundRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t arcW, int32_t arcH);
    void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    /// The vertices as x1, y1, x2, y2, ...; the polygon is closed.
    void drawPolygon(const std::vector<int32_t>& xy);

    void drawString(std::string_view text, int32_t x, int32_t y);
    /// drawString moved as little as needed for the text to lie on the surface at least two
    /// pixels in from each edge (clear of a frame drawn along them); a text too wide or too
    /// high for that starts at the left or top.
    void drawStringInside(std::string_view text, int32_t x, int32_t y);
    /// Marks the drawing that follows, until set back, as what the next drawing will likely
    /// draw otherwise: the box the user holds and its lines. A canvas keeps the rest of its
    /// lines apart meanwhile, so that a change of the marked part draws them no more. Pages
    /// and pictures draw the same either way.
    void setLikelyToChange(bool changing);
    /// Width of the text in the current text size and weight.
    double stringWidth(std::string_view text) const;

    detail::GraphicsImpl& impl() { return *d; }

private:
    std::unique_ptr<detail::GraphicsImpl> d;
};

} // namespace platform
