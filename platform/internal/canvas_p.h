#pragma once

#include <QPainter>
#include <QSize>

#include <functional>

namespace platform {
class Graphics;
}

namespace platform::detail {

/// Paints a canvas of `size` during its paint event: erased to white first when `erase`, then
/// drawn by `paint`. A large canvas is drawn in horizontal bands on several threads, pixel for
/// pixel as one thread draws it. Returns how many threads drew.
int paintCanvas(QPainter& painter, QSize size, bool erase,
                const std::function<void(Graphics&)>& paint);

} // namespace platform::detail
