// The canvas control. Its widget turns the toolkit's paint, mouse and key events into the
// program's, so that handlers never see a toolkit event, and paints through Graphics: on one
// thread or, for a large canvas, in horizontal bands on several.

#include "platform/controls.h"

#include "platform/application.h"
#include "platform/graphics.h"
#include "platform/internal/canvas_p.h"
#include "platform/internal/control_p.h"
#include "platform/internal/graphics_p.h"
#include "platform/internal/modal_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/runtime_p.h"
#include "platform/internal/window_p.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QRegion>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace platform::detail {

namespace {

// From about a megapixel on (a 4K window's canvas has eight), filling the thick lines of a
// drawing costs more than a frame; below it one thread is quicker than handing bands out.
constexpr qint64 kBandedArea = 1 << 20;
// A band is at least this many rows high.
constexpr int kLeastBandRows = 128;
constexpr int kMostBands = 8;
// A band has at least this many drawing operations to draw: each band goes through every
// operation that reaches into it, and starts every long line and polygon again, so that each
// band more costs processor time. At this many a band, a spider plot of 50 players at 4K is
// drawn on two threads in about two thirds of one thread's time, at no more processor time
// than one thread; on five it took a tenth less time but a fifth more processor time.
constexpr size_t kLeastBandOperations = 700;

// The fonts of a thread that paints a band: its own, since a font's state is not shared
// between threads.
class BandFonts : public TextFonts {
public:
    const QFont& font(int pixelSize, bool bold) override
    {
        auto it = mFonts.find({pixelSize, bold});
        if (it == mFonts.end())
            it = mFonts.emplace(std::pair{pixelSize, bold}, programFont(pixelSize, bold)).first;
        return it->second;
    }

private:
    std::map<std::pair<int, bool>, QFont> mFonts;
};

// Where the painter puts the canvas: on an image, moved by whole pixels, or nothing.
struct Target {
    QImage* image = nullptr;
    QPoint offset;
};

Target targetOf(QPainter& painter)
{
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    const QTransform t = painter.deviceTransform();
    if (!device || device->devType() != QInternal::Image || t.type() > QTransform::TxTranslate ||
        t.dx() != std::round(t.dx()) || t.dy() != std::round(t.dy()))
        return {};
    return {static_cast<QImage*>(device),
            QPoint(static_cast<int>(t.dx()), static_cast<int>(t.dy()))};
}

// Draws the operations that reach into the rows from `top` to `bottom` (device rows, bottom
// not included) of the image, inside `clip`. Each band paints on the whole image, clipped to
// its rows: the toolkit works out a thin line from the size of the device it is drawn on, so
// that it shows the same pixels whatever the clip. A polygon's fill, though, it scans over
// every row of the device and only then clips: those fills go to a device of the band's rows
// alone, where the toolkit gives them the same pixels and scans only the band.
void paintBand(const QImage& image, uchar* bits, const QPoint& offset, const QRegion& clip, int top,
               int bottom, const std::vector<DrawingOperation>& operations)
{
    const QRect band(0, top, image.width(), bottom - top);
    QImage device(bits, image.width(), image.height(), image.bytesPerLine(), image.format());
    QPainter p(&device);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setClipRegion(clip & band);
    p.translate(offset);

    QImage rowsDevice(bits + qsizetype{top} * image.bytesPerLine(), image.width(), bottom - top,
                      image.bytesPerLine(), image.format());
    std::optional<QPainter> rows;
    auto rowsPainter = [&]() -> QPainter& {
        if (!rows) {
            rows.emplace(&rowsDevice);
            rows->setRenderHint(QPainter::Antialiasing, false);
            rows->setClipRegion((clip & band).translated(0, -top));
            rows->translate(offset.x(), offset.y() - top);
        }
        return *rows;
    };

    BandFonts fonts;
    // The band's rows in the canvas's own coordinates.
    const int first = top - offset.y();
    const int last = bottom - offset.y();
    for (const DrawingOperation& op : operations)
        if (op.bottom > first && op.top < last)
            op.draw(op.polygonFill ? rowsPainter() : p, fonts);
}

// Waits for every band handed to the pool, on every way out of the paint, a throw included:
// the bands draw with the paint's image, clip and operations, which must outlive them.
struct BandJoiner {
    QSemaphore done;
    int started = 0;

    void join()
    {
        done.acquire(started);
        started = 0;
    }
    ~BandJoiner() { join(); }
};

// Paints a canvas of `size` during its paint event: erased to white first when `erase`, then
// drawn by `paint`. A large canvas is drawn in horizontal bands on several threads, pixel for
// pixel as one thread draws it. Returns how many threads drew. A drawing operation that
// throws, on whichever thread, throws here once no band is drawing any more.
int paintCanvas(QPainter& painter, QSize size, bool erase,
                const std::function<void(Graphics&)>& paint)
{
    const int threads = std::min(kMostBands, QThread::idealThreadCount());
    const Target target = targetOf(painter);
    const bool banded =
        threads > 1 && target.image && qint64{size.width()} * size.height() >= kBandedArea;

    // A clip of one rectangle lets the toolkit draw thin lines straight into the pixels; with
    // the paint event's clip alone it draws them pixel by pixel through the clip.
    painter.setClipRect(QRect(QPoint(0, 0), size), Qt::IntersectClip);
    auto impl = std::make_unique<GraphicsImpl>(&painter, size.width(), size.height());
    GraphicsImpl* d = impl.get();
    Graphics g(std::move(impl));
    d->erasePending = erase;
    std::vector<DrawingOperation> operations;
    if (banded)
        d->recording = &operations;
    paint(g);
    d->eraseIfPending();
    if (!banded)
        return 1;

    // The rows the paint event repaints, split into bands; the user-interface thread paints
    // the last band itself while the others are painted on the pool.
    QRegion clip = painter.paintEngine()->systemClip();
    const QRect canvas = QRect(target.offset, size) & target.image->rect();
    clip = clip.isEmpty() ? QRegion(canvas) : clip & canvas;
    const QRect rows = clip.boundingRect();
    if (rows.isEmpty())
        return 1;
    // The bands write into the image's pixels beside the painter that holds it, which must
    // not make a copy of them.
    auto* bits = const_cast<uchar*>(target.image->constBits());
    const int bands = std::clamp(
        std::min(rows.height() / kLeastBandRows,
                 static_cast<int>(std::min<size_t>(operations.size() / kLeastBandOperations,
                                                   static_cast<size_t>(threads)))),
        1, threads);
    if (bands == 1) {
        paintBand(*target.image, bits, target.offset, clip, rows.top(), rows.bottom() + 1,
                  operations);
        return 1;
    }
    auto bandTop = [&](int i) {
        return rows.top() + static_cast<int>(qint64{rows.height()} * i / bands);
    };
    // A band that throws keeps its exception here; the first is thrown again once every band
    // is done. Declared before the joiner, so that it outlives the workers.
    std::vector<std::exception_ptr> failures(static_cast<size_t>(bands));
    auto drawBand = [&](int i) {
        try {
            paintBand(*target.image, bits, target.offset, clip, bandTop(i), bandTop(i + 1),
                      operations);
        } catch (...) {
            failures[static_cast<size_t>(i)] = std::current_exception();
        }
    };
    BandJoiner joiner;
    for (int i = 0; i + 1 < bands; ++i) {
        QThreadPool::globalInstance()->start([&joiner, &drawBand, i] {
            drawBand(i);
            joiner.done.release();
        });
        ++joiner.started;
    }
    drawBand(bands - 1);
    joiner.join();
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
    return bands;
}

unsigned long gPaints = 0;

} // namespace

unsigned long latestPaint()
{
    return gPaints;
}

unsigned long startPaint()
{
    return ++gPaints;
}

} // namespace platform::detail

namespace platform {

using detail::ss;
using detail::widgetOf;

namespace {

// The key as the program sees it: the typed text, or the key's name.
std::string keyText(const QKeyEvent* event)
{
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint())
        return ss(text);
    return ss(QKeySequence(event->key()).toString(QKeySequence::PortableText));
}

// The canvas's widget: paints through Graphics and turns the mouse into the program's press,
// drag and release.
class CanvasWidget : public QWidget {
public:
    explicit CanvasWidget(Canvas& canvas, QWidget* parent) : QWidget(parent), mCanvas(canvas)
    {
        setFocusPolicy(Qt::NoFocus);
        // The canvas covers its whole area itself, so the toolkit paints nothing beneath it.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    bool eraseBackground = true;

protected:
    void paintEvent(QPaintEvent*) override
    {
        // Erasing makes the canvas white; a canvas that does not erase starts from its last
        // picture.
        mCanvas.impl().paintedAt = detail::startPaint();
        QPainter painter(this);
        Canvas* canvas = &mCanvas;
        // The bands draw after the program's paint has returned: what they throw is reported
        // as what the paint throws.
        runGuarded([&] {
            mCanvas.impl().paintThreads =
                detail::paintCanvas(painter, size(), eraseBackground, [canvas](Graphics& g) {
                    if (canvas->onPaint)
                        runGuarded([canvas, &g] { canvas->onPaint(g); });
                });
        });
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
            event->ignore();
            return;
        }
        if (focusPolicy() != Qt::NoFocus)
            setFocus(Qt::MouseFocusReason);
        const MouseEvent press{static_cast<int32_t>(event->position().x()),
                               static_cast<int32_t>(event->position().y()),
                               event->button() == Qt::RightButton};
        mTracking = false;
        if (!mCanvas.onMouseDown)
            return;
        const unsigned long modalsBefore = detail::modalRunCount();
        Canvas* canvas = &mCanvas;
        const bool wantsDrag =
            runGuardedResult([canvas, press] { return canvas->onMouseDown(press); });
        // A press that ran a dialog or a menu has lost its button to it: the gesture ends here.
        if (!wantsDrag || detail::modalRunCount() != modalsBefore || detail::terminating())
            return;
        mTracking = true;
        mButton = event->button();
        if (mCanvas.onMouseDrag)
            runGuarded([canvas, press] {
                canvas->onMouseDrag(MouseEvent{press.x, press.y, false});
            });
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!mTracking || !mCanvas.onMouseDrag)
            return;
        const MouseEvent drag{static_cast<int32_t>(event->position().x()),
                              static_cast<int32_t>(event->position().y()), false};
        Canvas* canvas = &mCanvas;
        runGuarded([canvas, drag] { canvas->onMouseDrag(drag); });
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (!mTracking || event->button() != mButton)
            return;
        mTracking = false;
        if (!mCanvas.onMouseUp)
            return;
        const MouseEvent release{static_cast<int32_t>(event->position().x()),
                                 static_cast<int32_t>(event->position().y()),
                                 mButton == Qt::RightButton};
        Canvas* canvas = &mCanvas;
        runGuarded([canvas, release] { canvas->onMouseUp(release); });
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        bool handled = false;
        if (mCanvas.onKeyDown) {
            const std::string key = keyText(event);
            Canvas* canvas = &mCanvas;
            handled = runGuardedResult([canvas, key] { return canvas->onKeyDown(key); });
        }
        if (!handled)
            event->ignore(); // on to the window: Return presses its default button
    }

    void contextMenuEvent(QContextMenuEvent* event) override { event->accept(); }

private:
    Canvas& mCanvas;
    bool mTracking = false;
    Qt::MouseButton mButton = Qt::LeftButton;
};

} // namespace

Canvas::Canvas(const detail::ControlContext& context) : Control(context)
{
    d->attach(new CanvasWidget(*this, context.window->content));
}

void Canvas::setAcceptsFocus(bool accepts)
{
    d->widget->setFocusPolicy(accepts ? Qt::StrongFocus : Qt::NoFocus);
}

void Canvas::setEraseBackground(bool erase)
{
    widgetOf<CanvasWidget>(*this)->eraseBackground = erase;
}

} // namespace platform
