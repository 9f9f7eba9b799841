#pragma once

// What the benchmarks measure the program's refreshes against, and how they drive them: the
// whole path of a repaint (the request, the widget's paint event, the backing store and the
// flush), for a window of the program and for a floor window that draws the same pixels with
// raw painter calls and no platform layer between. Only the benchmarks use this.

#include "platform/color.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace platform {
class Canvas;
class Window;
} // namespace platform

namespace platform::bench {

/// Asks the window for a repaint as a handler does and returns once every paint that it led
/// to is on the screen: the toolkit's update requests are delivered until none is left, as
/// the event loop would deliver them.
void refreshAndFlush(Window& window);
/// As refreshAndFlush, with the whole of each canvas painted again, as a change of everything
/// it shows repaints it: a canvas otherwise paints only what changed since its last paint.
void repaintWholeAndFlush(Window& window);

/// Delivers a press at (x, y) and a drag to (toX, toY) to the canvas through the event loop,
/// as the window system's pointer would, with every paint that they lead to and what the
/// canvas keeps for the release while the button is held.
void pressAndDrag(Canvas& canvas, int32_t x, int32_t y, int32_t toX, int32_t toY);

/// Posts the release of the button at (x, y) to the canvas and runs the event loop until its
/// handler has run and every paint it asked for, in any window, is done; returns once each of
/// those windows has been flushed to the window system and the window system has processed
/// the flush (a round trip to the X server; nothing under the headless platform).
void releaseAndFlush(Canvas& canvas, int32_t x, int32_t y);

/// Shows the window maximised on its screen and returns once it covers the screen's
/// available area and is painted.
void maximise(Window& window);

/// Shows the window unmaximised, its content area width by height, and returns once it has
/// that size on the screen and is painted.
void showAtSize(Window& window, int32_t width, int32_t height);

/// Returns once the window is on the screen (exposed, which under a window manager takes a
/// while) and every paint is done and flushed.
void awaitShown(Window& window);

/// Whether the windows go to a real window system (X), not the headless platform.
bool onWindowSystem();

/// Marks a pixel of a canvas that another control of its window covers.
inline constexpr uint32_t kCovered = 0xff000000;

/// The pixels that the canvas shows on the screen, 0xRRGGBB row by row, or kCovered where a
/// control above it in its window lies over it.
std::vector<uint32_t> shownPixels(const Canvas& canvas);

/// Drawing with the toolkit's painter straight away, each call as the platform's Graphics
/// draws it: coordinates in pixels from the area's top-left corner.
class PainterFloor {
public:
    void fillRect(int32_t x, int32_t y, int32_t w, int32_t h, Color c);
    /// A 1-pixel outline inside the rectangle.
    void rectOutline(int32_t x, int32_t y, int32_t w, int32_t h, Color c);
    /// A 1-pixel outline of the ellipse inside the rectangle.
    void ovalOutline(int32_t x, int32_t y, int32_t w, int32_t h, Color c);
    /// A line drawn with a k by k pen that hangs right and below its points.
    void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t k, Color c);
    /// A rounded box with corners of 15 by 15, filled and outlined in black.
    void box(int32_t x, int32_t y, int32_t w, int32_t h, Color fill);
    /// A closed 1-pixel outline through the vertices x1, y1, x2, y2, ...
    void polygonOutline(const int32_t* xy, size_t count, Color c);
    /// Text of a pixel size, its baseline at y.
    void text(std::string_view s, int32_t x, int32_t y, int32_t size, bool bold, Color c);
    double textWidth(std::string_view s, int32_t size, bool bold);
    /// Text as `text` draws it, moved only as far as it takes to keep it two pixels inside an
    /// area of `areaWidth` by `areaHeight`, as the platform's drawStringInside does.
    void textInside(std::string_view s, int32_t x, int32_t y, int32_t size, bool bold, Color c,
                    int32_t areaWidth, int32_t areaHeight);

    struct Impl;
    explicit PainterFloor(Impl& impl) : d(impl) {}

private:
    Impl& d;
};

/// A bare window of the toolkit as large as `like`, frame parts and all, with an area at the
/// place of each of the canvases; a refresh repaints the areas with onPaint, which gets the
/// area's index and a floor translated to its corner and clipped to it.
class FloorWindow {
public:
    FloorWindow(const Window& like, const std::vector<const Canvas*>& canvases);
    ~FloorWindow();
    FloorWindow(const FloorWindow&) = delete;
    FloorWindow& operator=(const FloorWindow&) = delete;

    std::function<void(size_t area, PainterFloor& floor)> onPaint;

    void refreshAndFlush();
    /// The pixels that area shows on the screen, 0xRRGGBB row by row.
    std::vector<uint32_t> shownPixels(size_t area) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace platform::bench
