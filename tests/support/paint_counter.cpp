#include "tests/support/paint_counter.h"

#include "platform/testing.h"

#include <algorithm>

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

PaintOrder::PaintOrder(std::vector<std::pair<platform::Canvas*, std::string>> canvases)
{
    for (auto& [canvas, name] : canvases) {
        mOwn.emplace_back(canvas, canvas->onPaint);
        canvas->onPaint = [this, name = std::move(name),
                           paint = canvas->onPaint](platform::Graphics& g) {
            mPainted.push_back(name);
            if (paint)
                paint(g);
        };
    }
}

PaintOrder::~PaintOrder()
{
    for (auto& [canvas, paint] : mOwn)
        canvas->onPaint = std::move(paint);
}

std::string PaintOrder::first() const
{
    return mPainted.empty() ? "nothing" : mPainted.front();
}

bool PaintOrder::painted(const std::string& name) const
{
    return std::find(mPainted.begin(), mPainted.end(), name) != mPainted.end();
}

} // namespace testsupport
