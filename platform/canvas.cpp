// The paint of a canvas.

#include "platform/graphics.h"
#include "platform/internal/canvas_p.h"
#include "platform/internal/graphics_p.h"

#include <memory>

namespace platform::detail {

int paintCanvas(QPainter& painter, QSize size, bool erase,
                const std::function<void(Graphics&)>& paint)
{
    auto impl = std::make_unique<GraphicsImpl>(&painter, size.width(), size.height());
    GraphicsImpl* d = impl.get();
    Graphics g(std::move(impl));
    d->erasePending = erase;
    paint(g);
    d->eraseIfPending();
    return 1;
}

} // namespace platform::detail
