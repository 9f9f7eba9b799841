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

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QRegion>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
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
// The same for a drawing whose long run of lines is taken from a layer: its other operations
// are short, and each band more draws few of them again.
constexpr size_t kLeastLayerBandOperations = 24;
// An area of up to this many pieces may be painted piece by piece, each clipped to itself.
constexpr int kMostPieces = 8;
// A change goes to the screen as at most this many rectangles: each is sent by itself.
constexpr int kMostChangedRects = 32;
// The cells, this many pixels square, by which the pixels a change touches are counted.
constexpr int kCell = 16;

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

// Cuts the line to the rectangle (Liang and Barsky); false when none of it lies there.
bool clipLine(double& x1, double& y1, double& x2, double& y2, double left, double top, double right,
              double bottom)
{
    double t0 = 0, t1 = 1;
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - left, right - x1, y1 - top, bottom - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double ax = x1 + t0 * dx, ay = y1 + t0 * dy;
    x2 = x1 + t1 * dx;
    y2 = y1 + t1 * dy;
    x1 = ax;
    y1 = ay;
    return true;
}

// Whether a line (x1, y1, x2, y2, pen width, pen height) may set a pixel of the rectangle: its
// pen hangs right and below each of its points, give or take the toolkit's rounding.
bool lineReaches(const std::array<int32_t, 6>& l, const QRect& r)
{
    double x1 = l[0], y1 = l[1], x2 = l[2], y2 = l[3];
    constexpr double kMargin = 3;
    return clipLine(x1, y1, x2, y2, r.left() - std::max(1, l[4]) - kMargin,
                    r.top() - std::max(1, l[5]) - kMargin, r.right() + 1 + kMargin,
                    r.bottom() + 1 + kMargin);
}

// The cells of a canvas, kCell pixels square, that a change of its drawing touches.
class ChangedCells {
public:
    explicit ChangedCells(QSize size)
        : mColumns((size.width() + kCell - 1) / kCell), mRows((size.height() + kCell - 1) / kCell),
          mCells(static_cast<size_t>(std::max(mColumns, 0)) *
                 static_cast<size_t>(std::max(mRows, 0)))
    {
    }

    // Every pixel that the operation may touch.
    void add(const DrawingOperation& op)
    {
        visit(op, [](unsigned char& cell) {
            cell = 1;
            return false;
        });
    }

    void addRect(const QRect& r)
    {
        visitRect(r, [](unsigned char& cell) {
            cell = 1;
            return false;
        });
    }

    // Calls `f` with each cell that the operation may touch until it returns true; returns
    // whether it did.
    template <class F> bool visit(const DrawingOperation& op, F&& f)
    {
        if (op.line)
            return visitLine(*op.line, f);
        if (op.bounds.isEmpty())
            return visitRect(QRect(0, op.top, mColumns * kCell, op.bottom - op.top), f);
        return visitRect(op.bounds, f);
    }

    template <class F> bool visitRect(const QRect& r, F&& f)
    {
        if (r.isEmpty() || r.right() < 0 || r.bottom() < 0)
            return false;
        const int left = std::max(0, r.left() / kCell);
        const int right = std::min(mColumns - 1, r.right() / kCell);
        const int top = std::max(0, r.top() / kCell);
        const int bottom = std::min(mRows - 1, r.bottom() / kCell);
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                if (f(mCells[static_cast<size_t>(y) * static_cast<size_t>(mColumns) +
                             static_cast<size_t>(x)]))
                    return true;
        return false;
    }

    // The cells near a line: the pen that hangs right and below each point of it, at points
    // no further apart than a cell, widened by half that step and a margin for the toolkit's
    // rounding, covers every pixel that the line sets.
    template <class F> bool visitLine(const std::array<int32_t, 6>& l, F&& f)
    {
        double x1 = l[0], y1 = l[1], x2 = l[2], y2 = l[3];
        const int pw = std::max(1, l[4]);
        const int ph = std::max(1, l[5]);
        // Only what lies about the canvas: the line cut to it, with room for the pen.
        const double m = 4 + std::max(pw, ph);
        if (!clipLine(x1, y1, x2, y2, -m - pw, -m - ph, mColumns * kCell + m, mRows * kCell + m))
            return false;
        const double length = std::hypot(x2 - x1, y2 - y1);
        const int steps = std::max(1, static_cast<int>(std::ceil(length / (kCell / 2.0))));
        const double half = length / steps / 2 + 3;
        for (int i = 0; i <= steps; ++i) {
            const double x = x1 + (x2 - x1) * i / steps;
            const double y = y1 + (y2 - y1) * i / steps;
            const int left = static_cast<int>(std::floor(x - half));
            const int top = static_cast<int>(std::floor(y - half));
            if (visitRect(
                    QRect(QPoint(left, top), QPoint(static_cast<int>(std::ceil(x + pw + half)),
                                                    static_cast<int>(std::ceil(y + ph + half)))),
                    f))
                return true;
        }
        return false;
    }

    // The touched cells as a region of at most `most` rectangles: the touched blocks of
    // cells, as small as that allows (at worst the rectangle about them all).
    QRegion region(const QRect& canvas, int most) const
    {
        QRegion r;
        for (int block = 1; block <= 16; block *= 2) {
            r = blocks(block);
            if (r.rectCount() <= most)
                return r & canvas;
        }
        return QRegion(r.boundingRect()) & canvas;
    }

private:
    bool cell(int x, int y) const
    {
        return mCells[static_cast<size_t>(y) * static_cast<size_t>(mColumns) +
                      static_cast<size_t>(x)] != 0;
    }

    // Whether any cell of the square block of `size` cells at block (x, y) is touched.
    bool blockTouched(int x, int y, int size) const
    {
        for (int cy = y * size; cy < std::min(mRows, (y + 1) * size); ++cy)
            for (int cx = x * size; cx < std::min(mColumns, (x + 1) * size); ++cx)
                if (cell(cx, cy))
                    return true;
        return false;
    }

    // The touched blocks of `size` cells square as a region: the runs of each row of blocks,
    // a run that is short of the next by a block or two joined to it, and the rows of one run
    // alike merged.
    QRegion blocks(int size) const
    {
        const int columns = (mColumns + size - 1) / size;
        const int rows = (mRows + size - 1) / size;
        const int side = size * kCell;
        std::vector<char> touched(static_cast<size_t>(columns) * static_cast<size_t>(rows));
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < columns; ++x)
                touched[static_cast<size_t>(y) * static_cast<size_t>(columns) +
                        static_cast<size_t>(x)] = blockTouched(x, y, size) ? 1 : 0;
        const auto at = [&](int x, int y) {
            return x < columns && touched[static_cast<size_t>(y) * static_cast<size_t>(columns) +
                                          static_cast<size_t>(x)] != 0;
        };
        std::vector<QRect> rects;
        std::vector<QRect> previous;
        for (int y = 0; y < rows; ++y) {
            std::vector<QRect> runs;
            for (int x = 0; x < columns; ++x) {
                if (!at(x, y))
                    continue;
                int end = x;
                while (at(end + 1, y) || at(end + 2, y) || at(end + 3, y))
                    ++end;
                runs.emplace_back(x * side, y * side, (end - x + 1) * side, side);
                x = end;
            }
            // A row whose runs are those of the row above lengthens its rectangles.
            const bool same = !runs.empty() && runs.size() == previous.size() &&
                              std::equal(runs.begin(), runs.end(), previous.begin(),
                                         [](const QRect& a, const QRect& b) {
                                             return a.left() == b.left() && a.right() == b.right();
                                         });
            if (same) {
                for (size_t i = 0; i < runs.size(); ++i)
                    rects[rects.size() - runs.size() + i].setBottom(runs[i].bottom());
            } else {
                rects.insert(rects.end(), runs.begin(), runs.end());
            }
            previous = std::move(runs);
        }
        QRegion r;
        r.setRects(rects.data(), static_cast<int>(rects.size()));
        return r;
    }

    int mColumns;
    int mRows;
    std::vector<unsigned char> mCells;
};

// Draws the operations that reach into the rows from `top` to `bottom` (device rows, bottom
// not included) of the image, inside `clip`. Each band paints on the whole image, clipped to
// its rows: the toolkit works out a thin line from the size of the device it is drawn on, so
// that it shows the same pixels whatever the clip. A polygon's fill, though, it scans over
// every row of the device and only then clips: those fills go to a device of the band's rows
// alone, where the toolkit gives them the same pixels and scans only the band. Of the
// operations that know their columns, those that lie beside the clip are left out.
void paintBand(const QImage& image, uchar* bits, const QPoint& offset, const QRegion& clip, int top,
               int bottom, const std::vector<DrawingOperation>& operations)
{
    const QRect band(0, top, image.width(), bottom - top);
    const QRegion bandClip = clip & band;
    if (bandClip.isEmpty())
        return;
    QImage device(bits, image.width(), image.height(), image.bytesPerLine(), image.format());
    QPainter p(&device);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setClipRegion(bandClip);
    p.translate(offset);

    QImage rowsDevice(bits + qsizetype{top} * image.bytesPerLine(), image.width(), bottom - top,
                      image.bytesPerLine(), image.format());
    std::optional<QPainter> rows;
    auto rowsPainter = [&]() -> QPainter& {
        if (!rows) {
            rows.emplace(&rowsDevice);
            rows->setRenderHint(QPainter::Antialiasing, false);
            rows->setClipRegion(bandClip.translated(0, -top));
            rows->translate(offset.x(), offset.y() - top);
        }
        return *rows;
    };

    BandFonts fonts;
    // The band's rows and columns in the canvas's own coordinates.
    const QRect reach = bandClip.boundingRect().translated(-offset);
    const int first = top - offset.y();
    const int last = bottom - offset.y();
    for (const DrawingOperation& op : operations)
        if (op.bottom > first && op.top < last &&
            (op.bounds.isEmpty() || op.bounds.intersects(reach)) &&
            (!op.line || lineReaches(*op.line, reach)))
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

// The rectangles in which an area is painted, each by itself: the pieces of the area when
// they are few and leave most of the rectangle about them out, otherwise that rectangle. Each
// piece goes through every operation that reaches into it, and a long line that runs through
// many pieces costs about as much in each of them as in the whole.
std::vector<QRect> piecesToPaint(const QRegion& area)
{
    const QRect about = area.boundingRect();
    if (area.rectCount() > kMostPieces)
        return {about};
    qint64 pixels = 0;
    for (const QRect& r : area)
        pixels += qint64{r.width()} * r.height();
    if (pixels * 2 > qint64{about.width()} * about.height())
        return {about};
    return {area.begin(), area.end()};
}

// Draws the operations inside one rectangle of the image (device pixels), in bands on
// several threads when it is large; returns how many threads drew.
int paintPiece(const QImage& image, uchar* bits, const QPoint& offset, const QRegion& clip,
               const std::vector<DrawingOperation>& operations, int threads, size_t leastPerBand)
{
    const QRect rows = clip.boundingRect();
    qint64 pixels = 0;
    for (const QRect& r : clip)
        pixels += qint64{r.width()} * r.height();
    const bool banded = threads > 1 && pixels >= kBandedArea;
    const int bands =
        banded ? std::clamp(
                     std::min(rows.height() / kLeastBandRows,
                              static_cast<int>(std::min<size_t>(operations.size() / leastPerBand,
                                                                static_cast<size_t>(threads)))),
                     1, threads)
               : 1;
    if (bands == 1) {
        paintBand(image, bits, offset, clip, rows.top(), rows.bottom() + 1, operations);
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
            paintBand(image, bits, offset, clip, bandTop(i), bandTop(i + 1), operations);
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

// Draws `operations` on the painter's device inside `area` (canvas coordinates) of a canvas of
// `size`, pixel for pixel as a paint of the whole canvas draws them there. A large area is
// drawn in horizontal bands on several threads. Returns how many threads drew. An operation
// that throws, on whichever thread, throws here once no band is drawing any more.
int paintOperations(QPainter& painter, QSize size, const QRegion& area,
                    const std::vector<DrawingOperation>& operations,
                    size_t leastPerBand = kLeastBandOperations)
{
    const int threads = std::min(kMostBands, QThread::idealThreadCount());
    const Target target = targetOf(painter);
    const QRect canvasRect(QPoint(0, 0), size);
    if (!target.image) {
        // A device of another kind: drawn through the painter, each operation that reaches
        // into the area.
        painter.save();
        painter.setClipRegion(area & canvasRect, Qt::IntersectClip);
        const QRect reach = (area & canvasRect).boundingRect();
        BandFonts fonts;
        for (const DrawingOperation& op : operations)
            if (op.bottom > reach.top() && op.top <= reach.bottom() &&
                (op.bounds.isEmpty() || op.bounds.intersects(reach)))
                op.draw(painter, fonts);
        painter.restore();
        return 1;
    }

    // The area in device pixels, within the image.
    const QRect canvas = QRect(target.offset, size) & target.image->rect();
    QRegion clip = area.translated(target.offset) & canvas;
    const QRect rows = clip.boundingRect();
    if (rows.isEmpty())
        return 1;
    // The bands write into the image's pixels beside the painter that holds it, which must
    // not make a copy of them.
    auto* bits = const_cast<uchar*>(target.image->constBits());

    // Each piece of the area is cut into as many bands as threads draw it.
    int drawn = 1;
    // Within the area alone: what lies beside it may be another control's.
    for (const QRect& piece : piecesToPaint(clip))
        drawn = std::max(drawn, paintPiece(*target.image, bits, target.offset, clip & piece,
                                           operations, threads, leastPerBand));
    return drawn;
}

// The drawing of a canvas of `size` by `paint`, kept as its operations: erased to white first
// when `erase`.
std::vector<DrawingOperation> recordDrawing(QSize size, bool erase,
                                            const std::function<void(Graphics&)>& paint)
{
    std::vector<DrawingOperation> operations;
    auto impl = std::make_unique<GraphicsImpl>(nullptr, size.width(), size.height());
    GraphicsImpl* d = impl.get();
    Graphics g(std::move(impl));
    d->erasePending = erase;
    d->recording = &operations;
    paint(g);
    d->eraseIfPending();
    return operations;
}

bool sameOperation(const DrawingOperation& a, const DrawingOperation& b)
{
    return !a.key.empty() && a.key == b.key && a.polygonFill == b.polygonFill;
}

using Operations = std::span<const DrawingOperation>;

// Adds what differs between two drawings, operation by operation in their order: the pixels
// that any operation of either may touch that has no like at the same place of the other.
// Elsewhere both draw the same operations in the same order, so that they show the same
// pixels.
void addChanges(ChangedCells& cells, Operations before, Operations after)
{
    size_t head = 0;
    while (head < before.size() && head < after.size() && sameOperation(before[head], after[head]))
        ++head;
    if (head == before.size() && head == after.size())
        return;
    size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           sameOperation(before[before.size() - 1 - tail], after[after.size() - 1 - tail]))
        ++tail;
    const size_t oldEnd = before.size() - tail;
    const size_t newEnd = after.size() - tail;
    if (oldEnd - head == newEnd - head) {
        for (size_t i = head; i < oldEnd; ++i)
            if (!sameOperation(before[i], after[i])) {
                cells.add(before[i]);
                cells.add(after[i]);
            }
    } else {
        for (size_t i = head; i < oldEnd; ++i)
            cells.add(before[i]);
        for (size_t i = head; i < newEnd; ++i)
            cells.add(after[i]);
    }
}

// What differs between two drawings of a canvas of `size`, operation by operation in their
// order.
QRegion changedArea(const std::vector<DrawingOperation>& before,
                    const std::vector<DrawingOperation>& after, QSize size)
{
    ChangedCells cells(size);
    addChanges(cells, before, after);
    return cells.region(QRect(QPoint(0, 0), size), kMostChangedRects);
}

// A run of solid operations of one colour in a drawing, from `begin` to `end` (not included).
struct SolidRun {
    size_t begin = 0;
    size_t end = 0;
    size_t size() const { return end - begin; }
};

SolidRun longestSolidRun(const std::vector<DrawingOperation>& operations)
{
    SolidRun longest;
    for (size_t i = 0; i < operations.size();) {
        if (!operations[i].solid) {
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < operations.size() && operations[end].solid == operations[i].solid)
            ++end;
        if (end - i > longest.size())
            longest = {i, end};
        i = end;
    }
    return longest;
}

// An operation's key with its hash. Keys are put in order by their hashes first, so that
// sorting them mostly compares words.
struct HashedKey {
    uint64_t hash;
    std::string key;
    bool operator==(const HashedKey&) const = default;
};

uint64_t hashOf(const std::string& key)
{
    return std::hash<std::string>{}(key);
}

bool keyBefore(uint64_t aHash, const std::string& a, uint64_t bHash, const std::string& b)
{
    return aHash != bHash ? aHash < bHash : a < b;
}

// The operations of a run, with their keys' hashes, in the order of their keys.
std::vector<std::pair<uint64_t, size_t>> byKey(const std::vector<DrawingOperation>& operations,
                                               SolidRun run)
{
    std::vector<std::pair<uint64_t, size_t>> order;
    order.reserve(run.size());
    for (size_t i = run.begin; i < run.end; ++i)
        order.emplace_back(hashOf(operations[i].key), i);
    std::sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
        return keyBefore(a.first, operations[a.second].key, b.first, operations[b.second].key);
    });
    return order;
}

// The operations that a layer keeps drawn are those of a long run of solid lines; below this
// many, drawing them again costs little.
constexpr size_t kLeastLayerOperations = 64;

// The pixels that a run of solid operations of one colour sets, but for the operations of the
// run that the drawing marked as likely to change: while the user holds a box, every line but
// the box's own. A change of the marked ones then takes the others' pixels from here. Drawn on
// a thread of the pool; `ready` once it is.
struct KeptLayer {
    QRgb colour = 0;
    QSize size;
    // The keys of the operations drawn on the layer, in order.
    std::vector<HashedKey> keys;
    // A bit a pixel, the first pixel of a row in the lowest bit of its first byte: set where
    // an operation of the layer set the pixel.
    std::vector<uchar> bits;
    size_t bitsPerLine = 0;
    std::atomic<bool> ready{false};

    bool isSet(int x, int y) const
    {
        return (bits[static_cast<size_t>(y) * bitsPerLine + static_cast<size_t>(x >> 3)] >>
                (x & 7)) &
               1;
    }
};

// The layer is drawn this many rows at a time.
constexpr int kLayerSliceRows = 512;

// Draws the operations on the layer, a slice of rows at a time: on a device of the canvas's
// size, so that each line shows the pixels it shows on the canvas, but one whose pages take
// memory only once drawn on, and are given back once their slice is kept as bits. The layer
// costs a bit a pixel and, while it is drawn, a slice of bytes. False when no memory was had.
bool drawLayerBits(KeptLayer& layer, const std::vector<DrawingOperation>& operations)
{
    const int w = layer.size.width();
    const int h = layer.size.height();
    const auto bytesPerLine = static_cast<size_t>((w + 3) & ~3);
    const size_t bytes = bytesPerLine * static_cast<size_t>(h);
    void* pages = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED)
        return false;
    struct Unmap {
        void* pages;
        size_t bytes;
        ~Unmap() { munmap(pages, bytes); }
    } unmap{pages, bytes};
    auto* first = static_cast<uchar*>(pages);
    QImage device(first, w, h, static_cast<qsizetype>(bytesPerLine), QImage::Format_Alpha8);
    layer.bitsPerLine = static_cast<size_t>((w + 7) / 8);
    layer.bits.assign(layer.bitsPerLine * static_cast<size_t>(h), 0);
    const auto pageSize = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    for (int top = 0; top < h; top += kLayerSliceRows) {
        const int rows = std::min(kLayerSliceRows, h - top);
        {
            QPainter p(&device);
            p.setRenderHint(QPainter::Antialiasing, false);
            // On this thread alone: it is one of the pool's already.
            paintOperations(p, layer.size, QRegion(0, top, w, rows), operations,
                            std::numeric_limits<size_t>::max());
        }
        for (int y = top; y < top + rows; ++y) {
            const uchar* from = device.constScanLine(y);
            uchar* to = layer.bits.data() + static_cast<size_t>(y) * layer.bitsPerLine;
            for (int x = 0; x < w; ++x)
                if (from[x])
                    to[x >> 3] = static_cast<uchar>(to[x >> 3] | (1u << (x & 7)));
        }
        // The slice's own pages go back, each as zeros again.
        const auto begin =
            reinterpret_cast<uintptr_t>(first + static_cast<size_t>(top) * bytesPerLine);
        const auto end =
            reinterpret_cast<uintptr_t>(first + static_cast<size_t>(top + rows) * bytesPerLine);
        const uintptr_t from = (begin + pageSize - 1) / pageSize * pageSize;
        const uintptr_t to = end / pageSize * pageSize;
        if (to > from)
            madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
    }
    return true;
}

// How a drawing takes the operations of its run that a layer keeps from it.
struct LayerUse {
    std::shared_ptr<const KeptLayer> layer;
    SolidRun run;
    // For each operation of the run, whether the layer holds its pixels.
    std::vector<char> kept;
};

// How the drawing's longest run takes its pixels from the layer, each of the layer's
// operations matched with one of the run's; none when the run lacks one of them.
std::optional<LayerUse> layerUse(const std::shared_ptr<const KeptLayer>& layer,
                                 const std::vector<DrawingOperation>& operations)
{
    const SolidRun run = longestSolidRun(operations);
    if (!layer || run.size() < layer->keys.size() || *operations[run.begin].solid != layer->colour)
        return std::nullopt;
    const std::vector<std::pair<uint64_t, size_t>> order = byKey(operations, run);
    LayerUse use{layer, run, std::vector<char>(run.size(), 0)};
    size_t j = 0;
    for (const HashedKey& k : layer->keys) {
        while (j < order.size() &&
               keyBefore(order[j].first, operations[order[j].second].key, k.hash, k.key))
            ++j;
        if (j == order.size() || order[j].first != k.hash ||
            operations[order[j].second].key != k.key)
            return std::nullopt;
        use.kept[order[j].second - run.begin] = 1;
        ++j;
    }
    return use;
}

// Whether a layer may keep an operation of its run: one that the drawing did not mark as
// likely to change, and that a later drawing can be matched with by its key.
bool keptOnLayer(const DrawingOperation& op)
{
    return !op.changing && !op.key.empty();
}

// The layer that a drawing asks for: the operations of its longest run that a layer keeps, as
// their keys in order; no keys when no long run has a marked operation.
struct LayerWish {
    SolidRun run;
    std::vector<HashedKey> keys;
};

LayerWish layerWish(const std::vector<DrawingOperation>& operations)
{
    LayerWish wish{longestSolidRun(operations), {}};
    const auto first = operations.begin() + static_cast<std::ptrdiff_t>(wish.run.begin);
    const auto last = operations.begin() + static_cast<std::ptrdiff_t>(wish.run.end);
    if (wish.run.size() < kLeastLayerOperations || std::all_of(first, last, keptOnLayer))
        return wish;
    for (auto op = first; op != last; ++op)
        if (keptOnLayer(*op))
            wish.keys.push_back({hashOf(op->key), op->key});
    if (wish.keys.size() < kLeastLayerOperations) {
        wish.keys.clear();
        return wish;
    }
    std::sort(wish.keys.begin(), wish.keys.end(), [](const HashedKey& a, const HashedKey& b) {
        return keyBefore(a.hash, a.key, b.hash, b.key);
    });
    return wish;
}

// The layers being drawn, so that a paint can wait for them.
std::mutex gLayersMutex;
std::condition_variable gLayersDrawn;
int gLayersDrawing = 0;

// Starts drawing the layer that the drawing asks for.
std::shared_ptr<const KeptLayer> startLayer(const std::vector<DrawingOperation>& operations,
                                            LayerWish wish, QSize size)
{
    auto layer = std::make_shared<KeptLayer>();
    layer->colour = *operations[wish.run.begin].solid;
    layer->size = size;
    layer->keys = std::move(wish.keys);
    std::vector<DrawingOperation> kept;
    kept.reserve(layer->keys.size());
    for (size_t i = wish.run.begin; i < wish.run.end; ++i)
        if (keptOnLayer(operations[i]))
            kept.push_back(operations[i]);
    {
        const std::lock_guard lock(gLayersMutex);
        ++gLayersDrawing;
    }
    QThreadPool::globalInstance()->start([layer, kept = std::move(kept)] {
        try {
            if (drawLayerBits(*layer, kept))
                layer->ready.store(true, std::memory_order_release);
        } catch (...) {
            // A layer that could not be drawn is not used: the lines are drawn as they are.
        }
        const std::lock_guard lock(gLayersMutex);
        --gLayersDrawing;
        gLayersDrawn.notify_all();
    });
    return layer;
}

// Whether an image of this format takes a solid colour as one 32-bit word a pixel.
bool takesWords(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

// Sets the pixels that the layer's operations set, inside the painter's clip: the painter
// draws on an image that takes words.
void drawLayer(QPainter& p, const KeptLayer& layer)
{
    auto* image = static_cast<QImage*>(p.device());
    const QTransform t = p.deviceTransform();
    const QPoint offset(static_cast<int>(t.dx()), static_cast<int>(t.dy()));
    const QRegion clip =
        p.hasClipping() ? p.clipRegion().translated(offset) : QRegion(image->rect());
    const QRect canvas = QRect(offset, layer.size) & image->rect();
    const QRgb colour = layer.colour;
    for (const QRect& piece : clip) {
        const QRect r = piece & canvas;
        const int x0 = r.left() - offset.x();
        const int x1 = x0 + r.width();
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const int my = y - offset.y();
            const uchar* bits = layer.bits.data() + static_cast<size_t>(my) * layer.bitsPerLine;
            // The row from the canvas's column 0.
            auto* row =
                reinterpret_cast<QRgb*>(const_cast<uchar*>(image->constScanLine(y))) + offset.x();
            int x = x0;
            for (; x < x1 && (x & 7); ++x)
                if (layer.isSet(x, my))
                    row[x] = colour;
            // Eight pixels a byte: none of them set, all of them, or some.
            for (; x + 8 <= x1; x += 8) {
                const uchar eight = bits[x >> 3];
                if (eight == 0)
                    continue;
                if (eight == 0xff) {
                    std::fill(row + x, row + x + 8, colour);
                    continue;
                }
                // Without a branch a pixel, which the compiler turns into vector code.
                QRgb* eightPixels = row + x;
                for (int k = 0; k < 8; ++k) {
                    const QRgb set = 0u - ((static_cast<QRgb>(eight) >> k) & 1u);
                    eightPixels[k] = (eightPixels[k] & ~set) | (colour & set);
                }
            }
            for (; x < x1; ++x)
                if (layer.isSet(x, my))
                    row[x] = colour;
        }
    }
}

// What differs between two drawings whose longest runs take pixels from the same layer: the
// operations before and after the runs in their order, and the runs' other operations as
// sets, which in a run of one solid colour they are.
QRegion changedArea(const std::vector<DrawingOperation>& before, const LayerUse& beforeUse,
                    const std::vector<DrawingOperation>& after, const LayerUse& afterUse,
                    QSize size)
{
    ChangedCells cells(size);
    const Operations b(before), a(after);
    addChanges(cells, b.first(beforeUse.run.begin), a.first(afterUse.run.begin));
    addChanges(cells, b.subspan(beforeUse.run.end), a.subspan(afterUse.run.end));
    const auto others = [](const std::vector<DrawingOperation>& operations, const LayerUse& use) {
        std::vector<const DrawingOperation*> list;
        for (size_t i = use.run.begin; i < use.run.end; ++i)
            if (!use.kept[i - use.run.begin])
                list.push_back(&operations[i]);
        std::sort(
            list.begin(), list.end(),
            [](const DrawingOperation* x, const DrawingOperation* y) { return x->key < y->key; });
        return list;
    };
    const std::vector<const DrawingOperation*> was = others(before, beforeUse);
    const std::vector<const DrawingOperation*> is = others(after, afterUse);
    size_t i = 0, j = 0;
    while (i < was.size() || j < is.size()) {
        if (j == is.size() || (i < was.size() && was[i]->key < is[j]->key)) {
            cells.add(*was[i++]);
        } else if (i == was.size() || is[j]->key < was[i]->key) {
            cells.add(*is[j++]);
        } else if (!sameOperation(*was[i], *is[j])) {
            cells.add(*was[i++]);
            cells.add(*is[j++]);
        } else {
            ++i;
            ++j;
        }
    }
    return cells.region(QRect(QPoint(0, 0), size), kMostChangedRects);
}

// Draws the drawing inside `area` as paintOperations does, its run's kept operations taken
// from the layer when the painter draws on an image that takes words.
int paintDrawing(QPainter& painter, QSize size, const QRegion& area,
                 const std::vector<DrawingOperation>& operations, const LayerUse* use)
{
    const Target target = targetOf(painter);
    if (!use || !target.image || !takesWords(target.image->format()))
        return paintOperations(painter, size, area, operations);
    std::vector<DrawingOperation> drawn;
    drawn.reserve(operations.size() - use->layer->keys.size() + 1);
    drawn.insert(drawn.end(), operations.begin(),
                 operations.begin() + static_cast<std::ptrdiff_t>(use->run.begin));
    DrawingOperation layer;
    layer.top = 0;
    layer.bottom = size.height();
    layer.draw = [kept = use->layer](QPainter& p, TextFonts&) { drawLayer(p, *kept); };
    drawn.push_back(std::move(layer));
    for (size_t i = use->run.begin; i < use->run.end; ++i)
        if (!use->kept[i - use->run.begin])
            drawn.push_back(operations[i]);
    drawn.insert(drawn.end(), operations.begin() + static_cast<std::ptrdiff_t>(use->run.end),
                 operations.end());
    // Without the layer's long lines, each band more costs little.
    return paintOperations(painter, size, area, drawn, kLeastLayerBandOperations);
}

unsigned long gPaints = 0;

} // namespace

QEvent::Type canvasDrawEvent()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

unsigned long latestPaint()
{
    return gPaints;
}

unsigned long startPaint()
{
    return ++gPaints;
}

void awaitLayers()
{
    std::unique_lock lock(gLayersMutex);
    gLayersDrawn.wait(lock, [] { return gLayersDrawing == 0; });
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
//
// A canvas that erases keeps its last drawing, as its operations, between paints. A repaint
// that the program asks for runs the program's paint a little later, keeping its operations,
// and repaints only where they differ from those kept: elsewhere the toolkit's picture of the
// window already shows what a repaint would draw, and only what changed goes to the screen.
// A paint that the toolkit asks for on its own draws the kept operations again.
class CanvasWidget : public QWidget, public detail::RepaintingWidget {
public:
    explicit CanvasWidget(Canvas& canvas, QWidget* parent) : QWidget(parent), mCanvas(canvas)
    {
        setFocusPolicy(Qt::NoFocus);
        // The canvas covers its whole area itself, so the toolkit paints nothing beneath it.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    bool eraseBackground = true;

    void askRepaint() override
    {
        if (!eraseBackground) {
            update();
            return;
        }
        mDrawingDue = true;
        if (mDrawPosted)
            return;
        mDrawPosted = true;
        QCoreApplication::postEvent(this, new QEvent(drawEventType()));
    }

    void repaintNow() override
    {
        if (!eraseBackground || !mDrawingKept) {
            repaint();
            return;
        }
        const QRegion changed = drawAgain();
        if (!changed.isEmpty())
            repaint(changed);
    }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != drawEventType())
            return QWidget::event(event);
        mDrawPosted = false;
        // A hidden canvas draws when it is shown.
        if (mDrawingDue && isVisible()) {
            const QRegion changed = drawAgain();
            if (!changed.isEmpty())
                update(changed);
        }
        return true;
    }

    void showEvent(QShowEvent* event) override
    {
        // What changed while the canvas was hidden shows through a drawing of its own.
        mDrawingDue = true;
        QWidget::showEvent(event);
    }

    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        QRegion area = event->region();
        if (!eraseBackground) {
            // A canvas that does not erase starts from its last picture: it draws each time.
            mDrawingKept = false;
            mDrawingLayer.reset();
            mLayer.reset();
            mDrawing = record();
        } else if (mDrawingDue || !mDrawingKept || mDrawingSize != size()) {
            // What the drawing changes beyond this paint's area is painted next.
            const QRegion rest = drawAgain() - area;
            if (!rest.isEmpty())
                update(rest);
        }
        // The bands draw after the program's paint has returned: what they throw is reported
        // as what the paint throws.
        const detail::LayerUse* layer = mDrawingLayer ? &*mDrawingLayer : nullptr;
        runGuarded([&] {
            mCanvas.impl().paintThreads =
                detail::paintDrawing(painter, size(), area, mDrawing, layer);
        });
        mCanvas.impl().paintedFromLayer = layer ? layer->layer->keys.size() : 0;
        // A layer that no drawing wants any more is let go once its change is painted.
        if (!mLayer)
            mDrawingLayer.reset();
    }

private:
    static QEvent::Type drawEventType() { return detail::canvasDrawEvent(); }

    // Runs the program's paint, keeping its operations.
    std::vector<detail::DrawingOperation> record()
    {
        mCanvas.impl().paintedAt = detail::startPaint();
        Canvas* canvas = &mCanvas;
        std::vector<detail::DrawingOperation> drawing;
        runGuarded([&] {
            drawing = detail::recordDrawing(size(), eraseBackground, [canvas](Graphics& g) {
                if (canvas->onPaint)
                    runGuarded([canvas, &g] { canvas->onPaint(g); });
            });
        });
        return drawing;
    }

    // Draws the canvas again as its operations; returns where they differ from those kept.
    //
    // While the drawing marks some of its lines as likely to change, the others are drawn on a
    // layer of their own; once it is drawn, a drawing that still has all of them takes their
    // pixels from it, and a change draws them no more.
    QRegion drawAgain()
    {
        mDrawingDue = false;
        std::vector<detail::DrawingOperation> drawing = record();
        std::optional<detail::LayerUse> use;
        QRegion changed(rect());
        if (mDrawingKept && mDrawingSize == size()) {
            if (mLayer && mLayer->size == size() && mLayer->ready.load(std::memory_order_acquire))
                use = detail::layerUse(mLayer, drawing);
            std::optional<detail::LayerUse> kept;
            if (use)
                kept = mDrawingLayer && mDrawingLayer->layer == mLayer
                           ? std::move(mDrawingLayer)
                           : detail::layerUse(mLayer, mDrawing);
            changed = use && kept ? detail::changedArea(mDrawing, *kept, drawing, *use, size())
                                  : detail::changedArea(mDrawing, drawing, size());
        }
        detail::LayerWish wish = detail::layerWish(drawing);
        if (wish.keys.empty())
            mLayer.reset();
        else if (!mLayer || mLayer->size != size() || mLayer->keys != wish.keys)
            mLayer = detail::startLayer(drawing, std::move(wish), size());
        mDrawingLayer = std::move(use);
        mDrawing = std::move(drawing);
        mDrawingSize = size();
        mDrawingKept = true;
        // What is painted goes to the screen. Drawn from a layer, the changed area itself:
        // each of its rectangles is sent by itself, and the rest of the rectangle about them
        // shows what it showed. Otherwise its pieces or the rectangle about them: a long line
        // through an area of many rectangles costs more than through the rectangle.
        if (mDrawingLayer)
            return changed;
        QRegion shown;
        for (const QRect& piece : detail::piecesToPaint(changed))
            shown += piece;
        return shown;
    }

    Canvas& mCanvas;
    bool mTracking = false;
    Qt::MouseButton mButton = Qt::LeftButton;
    // The operations of the last drawing, and the size they were drawn at.
    std::vector<detail::DrawingOperation> mDrawing;
    // The layer that the drawing's marks ask for, drawn or being drawn.
    std::shared_ptr<const detail::KeptLayer> mLayer;
    // How the last drawing takes pixels from a layer, when it does.
    std::optional<detail::LayerUse> mDrawingLayer;
    QSize mDrawingSize;
    bool mDrawingKept = false;
    // A repaint was asked for since the last drawing; its drawing is posted.
    bool mDrawingDue = false;
    bool mDrawPosted = false;

protected:
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
