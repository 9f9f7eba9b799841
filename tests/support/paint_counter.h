#pragma once

// Counts the paints of a real canvas, so that a test can tell whether a view was repainted.

#include "platform/controls.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

class PaintCounter {
public:
    /// Counts from now on; the canvas's own paint still runs.
    explicit PaintCounter(platform::Canvas& canvas);
    /// Gives the canvas its own paint back.
    ~PaintCounter();
    PaintCounter(const PaintCounter&) = delete;
    PaintCounter& operator=(const PaintCounter&) = delete;

    int count() const { return mCount; }
    /// Runs every repaint asked for so far (platform::testing::finishPaints); false when the
    /// canvas was not painted since the counter began.
    bool waitForPaint();

private:
    platform::Canvas& mCanvas;
    std::function<void(platform::Graphics&)> mPaint;
    int mCount = 0;
};

/// Records which of several canvases paint, by name, in the order they paint.
class PaintOrder {
public:
    /// Records from now on; each canvas's own paint still runs.
    explicit PaintOrder(std::vector<std::pair<platform::Canvas*, std::string>> canvases);
    /// Gives each canvas its own paint back.
    ~PaintOrder();
    PaintOrder(const PaintOrder&) = delete;
    PaintOrder& operator=(const PaintOrder&) = delete;

    void clear() { mPainted.clear(); }
    /// The name of the canvas that painted first, "nothing" when none did.
    std::string first() const;
    bool painted(const std::string& name) const;

private:
    std::vector<std::pair<platform::Canvas*, std::function<void(platform::Graphics&)>>> mOwn;
    std::vector<std::string> mPainted;
};

} // namespace testsupport
