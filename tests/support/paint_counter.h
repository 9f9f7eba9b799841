#pragma once

// Counts the paints of a real canvas, so that a test can tell whether a view was repainted.

#include "platform/controls.h"

#include <functional>

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

} // namespace testsupport
