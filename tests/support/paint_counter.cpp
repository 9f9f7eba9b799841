#include "tests/support/paint_counter.h"

#include "platform/testing.h"

#include <chrono>
#include <thread>

namespace testsupport {

PaintCounter::PaintCounter(platform::Canvas& canvas)
    : mCanvas(canvas), mPaint(std::move(canvas.onPaint))
{
    // Paints asked for before are not this counter's: they are let run first.
    mCanvas.onPaint = mPaint;
    settle();
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
    for (int i = 0; i < 100 && mCount == 0; ++i) {
        platform::testing::processEvents();
        if (mCount == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return mCount > 0;
}

void PaintCounter::settle()
{
    // The toolkit paints a window a few milliseconds after it was asked to.
    for (int i = 0; i < 5; ++i) {
        platform::testing::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    platform::testing::processEvents();
}

} // namespace testsupport
