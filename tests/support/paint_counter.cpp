#include "tests/support/paint_counter.h"

#include "platform/testing.h"

namespace testsupport {

PaintCounter::PaintCounter(platform::Canvas& canvas)
    : mCanvas(canvas), mPaint(std::move(canvas.onPaint))
{
    // Paints asked for before are not this counter's: they are let run first.
    mCanvas.onPaint = mPaint;
    platform::testing::finishPaints();
    mCanvas.onPaint = [this](platform::Graphics& g) {
        ++mCount;
        if (mPaint)
            mPaint(g);
    };
}

PaintCounter::~PaintCounter()
{
    mCanvas.onPaint = std::move(mPaint);
}

bool PaintCounter::waitForPaint()
{
    platform::testing::finishPaints();
    return mCount > 0;
}

} // namespace testsupport
