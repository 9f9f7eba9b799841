#include "platform/bench/painter_floor.h"

#include "platform/controls.h"
#include "platform/internal/canvas_p.h"
#include "platform/internal/graphics_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/text_layout_p.h"
#include "platform/internal/window_p.h"
#include "platform/window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QtCore/qtestsupport_core.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iterator>

namespace platform::bench {

namespace {

// Counts the update requests that the toolkit delivers.
class UpdateRequests : public QObject {
public:
    int delivered = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::UpdateRequest || event->type() == detail::canvasDrawEvent())
            ++delivered;
        return false;
    }
};

UpdateRequests& updateRequests()
{
    static UpdateRequests* requests = [] {
        auto* r = new UpdateRequests;
        QCoreApplication::instance()->installEventFilter(r);
        return r;
    }();
    return *requests;
}

// Delivers the pending update requests, and those that their paints post, until none is left.
void deliverUpdates()
{
    UpdateRequests& requests = updateRequests();
    do {
        requests.delivered = 0;
        QCoreApplication::sendPostedEvents(nullptr, detail::canvasDrawEvent());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    } while (requests.delivered > 0);
}

// Runs the event loop, the window system's events and the posted ones, until a turn delivers
// no update request: the events already posted are handled and every paint they led to is
// done.
void runUntilPainted()
{
    UpdateRequests& requests = updateRequests();
    do {
        requests.delivered = 0;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, detail::canvasDrawEvent());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    } while (requests.delivered > 0);
}

// Returns once the X server has processed every request that the program sent it: a reply
// comes after all of them, the flushed images included.
void roundTrip()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t* c = x11->connection();
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

void postMouse(const Canvas& canvas, QEvent::Type type, int32_t x, int32_t y, Qt::MouseButtons held)
{
    QWidget* widget = canvas.impl().widget;
    const QPointF at(x, y);
    QCoreApplication::postEvent(widget, new QMouseEvent(type, at, widget->mapToGlobal(at),
                                                        Qt::LeftButton, held, Qt::NoModifier));
}

std::vector<uint32_t> pixelsOf(const QImage& image)
{
    std::vector<uint32_t> out;
    out.reserve(static_cast<size_t>(image.width()) * static_cast<size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            out.push_back(row[x] & 0xffffff);
    }
    return out;
}

QColor qc(Color c)
{
    return QColor(c.r, c.g, c.b);
}

} // namespace

void refreshAndFlush(Window& window)
{
    window.refresh();
    deliverUpdates();
    roundTrip();
}

void repaintWholeAndFlush(Window& window)
{
    window.refresh();
    // A canvas paints only what changed: here the whole of each is painted again, as after a
    // change of everything.
    for (const auto& control : window.impl().controls)
        if (dynamic_cast<Canvas*>(control.get()))
            control->impl().widget->update();
    deliverUpdates();
    roundTrip();
}

void pressAndDrag(Canvas& canvas, int32_t x, int32_t y, int32_t toX, int32_t toY)
{
    postMouse(canvas, QEvent::MouseButtonPress, x, y, Qt::LeftButton);
    postMouse(canvas, QEvent::MouseMove, toX, toY, Qt::LeftButton);
    runUntilPainted();
    // A person holds the button a moment longer than the canvas takes to keep its lines.
    detail::awaitLayers();
    roundTrip();
}

void releaseAndFlush(Canvas& canvas, int32_t x, int32_t y)
{
    postMouse(canvas, QEvent::MouseButtonRelease, x, y, Qt::NoButton);
    runUntilPainted();
    roundTrip();
}

void maximise(Window& window)
{
    QWidget* widget = window.impl().widget;
    const QRect available = widget->screen()->availableGeometry();
    const auto covers = [&] {
        const QWindow* handle = widget->windowHandle();
        return handle && handle->isExposed() && widget->width() == available.width();
    };
    // A window manager maximises the window in its own time, then frames it afresh: the window
    // is maximised once the manager says so and its size has stayed the same for a while.
    QRect last;
    int unchanged = 0;
    const auto maximised = [&] {
        const bool now = widget->isMaximized() && covers();
        unchanged = now && widget->geometry() == last ? unchanged + 1 : 0;
        last = widget->geometry();
        return unchanged >= 10;
    };
    // A manager can miss the request while it takes on a window that was just shown: it is
    // asked again.
    widget->showMaximized();
    for (int ask = 0; ask < 3 && !QTest::qWaitFor(maximised, 3000); ++ask) {
        widget->showNormal();
        widget->showMaximized();
    }
    // Without a window manager the window is given the screen's area.
    if (!widget->isMaximized() || !covers()) {
        widget->setGeometry(available);
        (void)QTest::qWaitFor(covers, 2000);
    }
    runUntilPainted();
    roundTrip();
}

void showAtSize(Window& window, int32_t width, int32_t height)
{
    QWidget* widget = window.impl().widget;
    if (widget->isMaximized()) {
        widget->showNormal();
        (void)QTest::qWaitFor([widget] { return !widget->isMaximized(); }, 2000);
    }
    window.setSize(width, height);
    window.show();
    (void)QTest::qWaitFor(
        [&] {
            return window.width() == width && window.height() == height && widget->windowHandle() &&
                   widget->windowHandle()->isExposed();
        },
        2000);
    runUntilPainted();
    roundTrip();
}

void awaitShown(Window& window)
{
    const QWidget* widget = window.impl().widget;
    (void)QTest::qWaitFor(
        [widget] { return widget->windowHandle() && widget->windowHandle()->isExposed(); }, 5000);
    runUntilPainted();
    roundTrip();
}

bool onWindowSystem()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

std::vector<uint32_t> shownPixels(const Canvas& canvas)
{
    const QWidget* widget = canvas.impl().widget;
    std::vector<uint32_t> pixels = pixelsOf(detail::shownImage(widget));
    // The controls made after the canvas lie above it.
    const QObjectList& siblings = widget->parentWidget()->children();
    const auto self = std::find(siblings.begin(), siblings.end(), widget);
    for (auto it = self == siblings.end() ? self : std::next(self); it != siblings.end(); ++it) {
        const auto* sibling = qobject_cast<const QWidget*>(*it);
        if (!sibling || !sibling->isVisible())
            continue;
        const QRect over =
            sibling->geometry().intersected(widget->geometry()).translated(-widget->pos());
        for (int y = over.top(); y <= over.bottom(); ++y)
            for (int x = over.left(); x <= over.right(); ++x)
                pixels[static_cast<size_t>(y) * static_cast<size_t>(widget->width()) +
                       static_cast<size_t>(x)] = kCovered;
    }
    return pixels;
}

// --- PainterFloor ---

// The painter of the paint in progress and the floor's fonts, made once as a direct
// implementation makes them.
struct PainterFloor::Impl {
    QPainter* painter = nullptr;
    std::array<QFont, 3> fonts{detail::programFont(9, false), detail::programFont(12, false),
                               detail::programFont(12, true)};
    std::array<QFontMetricsF, 3> metrics{QFontMetricsF(fonts[0]), QFontMetricsF(fonts[1]),
                                         QFontMetricsF(fonts[2])};

    size_t font(int32_t size, bool bold) const { return size <= 9 ? 0 : bold ? 2 : 1; }
};

void PainterFloor::fillRect(int32_t x, int32_t y, int32_t w, int32_t h, Color c)
{
    d.painter->fillRect(QRect(x, y, w, h), qc(c));
}

void PainterFloor::rectOutline(int32_t x, int32_t y, int32_t w, int32_t h, Color c)
{
    QPainter& p = *d.painter;
    p.fillRect(QRect(x, y, w, 1), qc(c));
    p.fillRect(QRect(x, y + h - 1, w, 1), qc(c));
    p.fillRect(QRect(x, y, 1, h), qc(c));
    p.fillRect(QRect(x + w - 1, y, 1, h), qc(c));
}

void PainterFloor::ovalOutline(int32_t x, int32_t y, int32_t w, int32_t h, Color c)
{
    d.painter->setBrush(Qt::NoBrush);
    d.painter->setPen(QPen(qc(c), 0));
    d.painter->drawEllipse(QRect(x, y, w - 1, h - 1));
}

void PainterFloor::line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t k, Color c)
{
    QPainter& p = *d.painter;
    if (k == 1) {
        p.setPen(QPen(qc(c), 0));
        p.drawLine(x1, y1, x2, y2);
        return;
    }
    const detail::PenSweep sweep = detail::penSweep(x1, y1, x2, y2, k, k);
    if (sweep.isRect) {
        p.fillRect(sweep.rect, qc(c));
        return;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(qc(c));
    p.drawConvexPolygon(sweep.hexagon, 6);
}

void PainterFloor::box(int32_t x, int32_t y, int32_t w, int32_t h, Color fill)
{
    QPainter& p = *d.painter;
    p.setPen(QPen(qc(fill), 0));
    p.setBrush(qc(fill));
    p.drawRoundedRect(QRectF(x, y, w - 1, h - 1), 7.5, 7.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 0));
    p.drawRoundedRect(QRectF(x, y, w - 1, h - 1), 7.5, 7.5);
}

void PainterFloor::polygonOutline(const int32_t* xy, size_t count, Color c)
{
    QPolygon polygon;
    for (size_t i = 0; i + 1 < count; i += 2)
        polygon << QPoint(xy[i], xy[i + 1]);
    d.painter->setBrush(Qt::NoBrush);
    d.painter->setPen(QPen(qc(c), 0));
    d.painter->drawPolygon(polygon);
}

void PainterFloor::text(std::string_view s, int32_t x, int32_t y, int32_t size, bool bold, Color c)
{
    if (s.empty())
        return;
    d.painter->setPen(QPen(qc(c), 0));
    d.painter->setFont(d.fonts[d.font(size, bold)]);
    d.painter->drawText(QPointF(x, y), detail::qs(s));
}

double PainterFloor::textWidth(std::string_view s, int32_t size, bool bold)
{
    return s.empty() ? 0 : d.metrics[d.font(size, bold)].horizontalAdvance(detail::qs(s));
}

void PainterFloor::textInside(std::string_view s, int32_t x, int32_t y, int32_t size, bool bold,
                              Color c, int32_t areaWidth, int32_t areaHeight)
{
    if (s.empty())
        return;
    const QFontMetricsF& m = d.metrics[d.font(size, bold)];
    const QPoint at = detail::placedInside(textWidth(s, size, bold), m.ascent(), m.descent(), x, y,
                                           areaWidth, areaHeight);
    text(s, at.x(), at.y(), size, bold, c);
}

// --- FloorWindow ---

namespace {

class FloorWidget : public QWidget {
public:
    explicit FloorWidget(std::vector<QRect> areas) : mAreas(std::move(areas))
    {
        // The areas are all the floor paints: nothing is painted beneath them.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    const QRect& area(size_t i) const { return mAreas[i]; }

    std::function<void(size_t, PainterFloor&)>* onPaint = nullptr;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        mFloor.painter = &painter;
        PainterFloor floor(mFloor);
        for (size_t i = 0; i < mAreas.size(); ++i) {
            painter.save();
            painter.translate(mAreas[i].topLeft());
            painter.setClipRect(QRect(QPoint(0, 0), mAreas[i].size()));
            if (onPaint && *onPaint)
                (*onPaint)(i, floor);
            painter.restore();
        }
        mFloor.painter = nullptr;
    }

private:
    std::vector<QRect> mAreas;
    PainterFloor::Impl mFloor;
};

} // namespace

struct FloorWindow::Impl {
    std::unique_ptr<FloorWidget> widget;
};

FloorWindow::FloorWindow(const Window& like, const std::vector<const Canvas*>& canvases)
    : d(std::make_unique<Impl>())
{
    const QWidget* top = like.impl().widget;
    std::vector<QRect> areas;
    for (const Canvas* canvas : canvases) {
        const QWidget* w = canvas->impl().widget;
        areas.emplace_back(w->mapTo(top, QPoint(0, 0)), w->size());
    }
    d->widget = std::make_unique<FloorWidget>(std::move(areas));
    d->widget->onPaint = &onPaint;
    d->widget->resize(top->size());
    d->widget->show();
    // Shown once the window system has exposed it, which takes a turn of the event loop or,
    // under a window manager, a while.
    QWidget* widget = d->widget.get();
    (void)QTest::qWaitFor([widget] { return widget->windowHandle()->isExposed(); }, 5000);
    runUntilPainted();
    roundTrip();
}

FloorWindow::~FloorWindow() = default;

void FloorWindow::refreshAndFlush()
{
    d->widget->update();
    deliverUpdates();
    roundTrip();
}

std::vector<uint32_t> FloorWindow::shownPixels(size_t area) const
{
    return pixelsOf(detail::shownImage(d->widget.get(), d->widget->area(area)));
}

} // namespace platform::bench
