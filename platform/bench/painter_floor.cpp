#include "platform/bench/painter_floor.h"

#include "platform/internal/graphics_p.h"
#include "platform/internal/qt_util.h"

#include <QImage>
#include <QPainter>
#include <QPen>

namespace platform::bench {

struct PainterFloor::Impl {
    QImage image;
    QPainter painter;
    // A direct implementation makes its three fonts once.
    QFont f9 = detail::programFont(9, false);
    QFont f12 = detail::programFont(12, false);
    QFont f12b = detail::programFont(12, true);
    QFontMetricsF m9{f9};
    QFontMetricsF m12{f12};
    QFontMetricsF m12b{f12b};

    const QFont& font(int32_t size, bool bold) const { return size <= 9 ? f9 : bold ? f12b : f12; }
    const QFontMetricsF& metrics(int32_t size, bool bold) const
    {
        return size <= 9 ? m9 : bold ? m12b : m12;
    }
};

PainterFloor::PainterFloor(int32_t width, int32_t height) : d(std::make_unique<Impl>())
{
    d->image = QImage(width, height, QImage::Format_RGB32);
    d->image.fill(Qt::white);
    d->painter.begin(&d->image);
    d->painter.setRenderHint(QPainter::Antialiasing, false);
    d->painter.setRenderHint(QPainter::TextAntialiasing, true);
}

PainterFloor::~PainterFloor() = default;

void PainterFloor::fillWhite(int32_t width, int32_t height)
{
    d->painter.fillRect(0, 0, width, height, Qt::white);
}

void PainterFloor::line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t k)
{
    QPainter& p = d->painter;
    if (k == 1) {
        p.setPen(QPen(Qt::black, 0));
        p.drawLine(x1, y1, x2, y2);
        return;
    }
    // A square pen of k centred half a pen right and below the points covers about what the
    // platform's pen hanging right and below them covers.
    p.setPen(QPen(Qt::black, k, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const double h = k / 2.0;
    p.drawLine(QPointF(x1 + h, y1 + h), QPointF(x2 + h, y2 + h));
}

void PainterFloor::box(int32_t x, int32_t y, int32_t width, int32_t height, Color fill)
{
    QPainter& p = d->painter;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(fill.r, fill.g, fill.b));
    p.drawRoundedRect(QRectF(x, y, width, height), 7.5, 7.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 0));
    p.drawRoundedRect(QRectF(x, y, width - 1, height - 1), 7.5, 7.5);
}

void PainterFloor::text(std::string_view s, int32_t x, int32_t y, int32_t size, bool bold)
{
    if (s.empty())
        return;
    d->painter.setPen(QPen(Qt::black, 0));
    d->painter.setFont(d->font(size, bold));
    d->painter.drawText(QPointF(x, y), detail::qs(s));
}

double PainterFloor::textWidth(std::string_view s, int32_t size, bool bold)
{
    return s.empty() ? 0 : d->metrics(size, bold).horizontalAdvance(detail::qs(s));
}

uint32_t PainterFloor::pixel(int32_t x, int32_t y) const
{
    return d->image.pixel(x, y) & 0xffffff;
}

} // namespace platform::bench
