#pragma once

#include "platform/graphics.h"

#include <QImage>
#include <QPainter>

#include <memory>

namespace platform::detail {

struct PictureImpl {
    QImage image;
    std::unique_ptr<QPainter> painter;
    std::unique_ptr<Graphics> graphics;

    /// Ends painting so that the pixels can be read or saved; the next use of graphics()
    /// starts a painter again with the same drawing state.
    void flush();
};

} // namespace platform::detail
