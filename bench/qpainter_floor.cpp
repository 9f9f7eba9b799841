// The one file of the benchmarks that uses the toolkit directly.

#include "bench/qpainter_floor.h"

#include "app/frmMain.h"

#include "platform/values.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QString>

#include <algorithm>

using platform::ToInt32;

namespace {

QFont font(int size, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(size);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
    return f;
}

QColor positionColour(double v)
{
    auto limit = [](int32_t c) { return std::clamp(c, 0, 255); };
    return QColor(limit(ToInt32(255 - v * 2.55)), limit(ToInt32(v * 2.55 + 255)), 0);
}

int32_t penSize(int32_t value)
{
    return ToInt32(std::min(10.0, std::max(1.0, value / 10.0)));
}

} // namespace

struct QPainterFloor::Impl {
    QImage image;
    QPainter painter;

    void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t k)
    {
        if (k == 1) {
            painter.setPen(QPen(Qt::black, 0));
            painter.drawLine(x1, y1, x2, y2);
            return;
        }
        // A square pen of k centred half a pen right and below the points covers what the
        // platform's pen hanging right and below them covers.
        QPen pen(Qt::black, k, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
        painter.setPen(pen);
        const double h = k / 2.0;
        painter.drawLine(QPointF(x1 + h, y1 + h), QPointF(x2 + h, y2 + h));
    }
};

QPainterFloor::QPainterFloor(int32_t width, int32_t height) : d(std::make_unique<Impl>())
{
    d->image = QImage(width, height, QImage::Format_RGB32);
    d->image.fill(Qt::white);
    d->painter.begin(&d->image);
    d->painter.setRenderHint(QPainter::Antialiasing, false);
    d->painter.setRenderHint(QPainter::TextAntialiasing, true);
}

QPainterFloor::~QPainterFloor() = default;

uint32_t QPainterFloor::pixel(int32_t x, int32_t y) const
{
    return d->image.pixel(x, y) & 0xffffff;
}

void QPainterFloor::paint(const frmMain& w, int32_t W, int32_t H)
{
    QPainter& p = d->painter;
    // A direct implementation makes its fonts once per paint.
    const QFont f9 = font(9, false);
    const QFont f12 = font(12, false);
    const QFont f12b = font(12, true);
    const QFontMetricsF m9(f9), m12(f12), m12b(f12b);

    const double sx = static_cast<float>(772.0 / W);
    const double sy = static_cast<float>(624.0 / H);
    auto mx = [sx](int32_t v) { return ToInt32(v / sx); };
    auto my = [sy](int32_t v) { return ToInt32(v / sy); };

    p.fillRect(0, 0, W, H, Qt::white);
    const int32_t n = w.NumPlayer;
    const Player& c = w.Player[0];
    for (int32_t i = 1; i <= n; ++i) {
        const Player& a = w.Player[i];
        if (a.LinkMain)
            d->line(mx(a.xcentre), my(a.ycentre), mx(c.xcentre), my(c.ycentre),
                    penSize(a.Importance));
    }
    for (int32_t i = 1; i <= n; ++i)
        for (int32_t j = i + 1; j <= n; ++j)
            if (w.Links[i][j] > 0)
                d->line(mx(w.Player[i].xcentre), my(w.Player[i].ycentre), mx(w.Player[j].xcentre),
                        my(w.Player[j].ycentre), penSize(w.Links[i][j]));

    auto box = [&](const Player& a, const QColor& fill, const QFont& nameFont,
                   const QFontMetricsF& nameMetrics, double allowance) {
        const QString name = QString::fromStdString(a.Name);
        const QString subtitle = QString::fromStdString(a.Subtitle);
        const int32_t ws = ToInt32((subtitle.isEmpty() ? 0 : m9.horizontalAdvance(subtitle)) + 20);
        const int32_t wn =
            ToInt32((name.isEmpty() ? 0 : nameMetrics.horizontalAdvance(name)) * allowance + 20);
        const int32_t bw = std::max(ws, wn);
        const int32_t x = mx(a.x);
        const int32_t y = my(a.y);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(x, y, bw, a.Height), 7.5, 7.5);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, 0));
        p.drawRoundedRect(QRectF(x, y, bw - 1, a.Height - 1), 7.5, 7.5);
        const double shift = (wn - ws) / 2.0;
        p.setFont(nameFont);
        if (!name.isEmpty())
            p.drawText(QPointF(ToInt32(x + 10 + (ws < wn ? 0 : -shift)), y + 20), name);
        p.setFont(f9);
        if (!subtitle.isEmpty())
            p.drawText(QPointF(ToInt32(x + 10 + (ws < wn ? shift : 0)), y + 35), subtitle);
    };
    for (int32_t i = 1; i <= n; ++i) {
        const Player& a = w.Player[i];
        box(a,
            a.Unknown ? QColor(170, 170, 170) : positionColour(std::clamp(a.Position, -100, 100)),
            f12, m12, 1.0);
    }
    box(c, positionColour(w.AverageColour), f12b, m12b, 1.05);
}
