#include "platform/graphics.h"

#include "platform/internal/graphics_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/text_layout_p.h"

#include <QFontDatabase>
#include <QImage>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include <fontconfig/fontconfig.h>

namespace platform {
namespace detail {

namespace {

// The machine's font configuration, listing only the fonts of `family`; null when the machine
// has none of them. The caller owns the configuration.
FcConfig* fontConfigListing(const char* family)
{
    // Every font that fontconfig lists is read into the toolkit's font database before the
    // first text is shown, and the program never draws with any but its own family. So the
    // machine's configuration (and through it the user's) is loaded as it is, with one more
    // rule: fonts of any other family are left out.
    const std::string rule = std::string("<?xml version=\"1.0\"?><fontconfig><selectfont>"
                                         "<rejectfont><pattern/></rejectfont>"
                                         "<acceptfont><pattern><patelt name=\"family\"><string>") +
                             family +
                             "</string></patelt></pattern></acceptfont></selectfont></fontconfig>";
    FcConfig* config = FcInitLoadConfig();
    if (!config)
        return nullptr;
    const bool loaded = FcConfigParseAndLoadFromMemory(
                            config, reinterpret_cast<const FcChar8*>(rule.c_str()), FcTrue) &&
                        FcConfigBuildFonts(config);
    FcFontSet* fonts = loaded ? FcConfigGetFonts(config, FcSetSystem) : nullptr;
    if (!fonts || fonts->nfont == 0) {
        // Without the family on the machine the program still needs fonts to show its text.
        FcConfigDestroy(config);
        return nullptr;
    }
    return config;
}

} // namespace

void loadFontConfig()
{
    if (FcConfig* config = fontConfigListing(kFontFamily)) {
        FcConfigSetCurrent(config); // takes its own reference
        FcConfigDestroy(config);
    } else {
        FcInit();
    }
}

QString fontFamily()
{
    static const QString family = [] {
        // The program draws with one font so that measured text widths are the same on every
        // machine; the regular and bold faces come from fonts-dejavu-core.
        QString name;
        for (const char* path : {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                 "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"}) {
            const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(path));
            if (id >= 0 && name.isEmpty()) {
                const QStringList families = QFontDatabase::applicationFontFamilies(id);
                if (!families.isEmpty())
                    name = families.first();
            }
        }
        return name.isEmpty() ? QString::fromLatin1(kFontFamily) : name;
    }();
    return family;
}

namespace {

// Text sizes are whole pixels.
int pixelSize(double size)
{
    return std::max(1, static_cast<int>(size + 0.5));
}

} // namespace

QFont programFont(double size, bool bold)
{
    QFont f(fontFamily());
    f.setPixelSize(pixelSize(size));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
    return f;
}

GraphicsImpl::GraphicsImpl(QPainter* p, int32_t w, int32_t h) : painter(p), width(w), height(h)
{
    // A surface that only keeps its operations has no painter.
    if (!painter)
        return;
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
}

OperationKey::OperationKey(char kind)
{
    mBytes.push_back(kind);
}

OperationKey& OperationKey::operator<<(int64_t v)
{
    mBytes.append(reinterpret_cast<const char*>(&v), sizeof v);
    return *this;
}

OperationKey& OperationKey::operator<<(double v)
{
    mBytes.append(reinterpret_cast<const char*>(&v), sizeof v);
    return *this;
}

OperationKey& OperationKey::operator<<(const QRect& r)
{
    return *this << int64_t{r.left()} << int64_t{r.top()} << int64_t{r.width()}
                 << int64_t{r.height()};
}

OperationKey& OperationKey::operator<<(const QString& text)
{
    *this << int64_t{text.size()};
    mBytes.append(reinterpret_cast<const char*>(text.constData()),
                  static_cast<size_t>(text.size()) * sizeof(QChar));
    return *this;
}

OperationKey& OperationKey::bytes(const void* data, size_t size)
{
    *this << static_cast<int64_t>(size);
    mBytes.append(static_cast<const char*>(data), size);
    return *this;
}

QRect GraphicsImpl::area(int64_t left, int64_t top, int64_t right, int64_t bottom) const
{
    // Only what lies on the surface matters, and a little beyond it keeps every sum in range.
    left = std::max<int64_t>(left, -8);
    top = std::max<int64_t>(top, -8);
    right = std::min<int64_t>(right, int64_t{width} + 8);
    bottom = std::min<int64_t>(bottom, int64_t{height} + 8);
    if (left >= right || top >= bottom)
        return QRect(-16, -16, 1, 1); // wholly beyond the surface: touches none of it
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                 static_cast<int>(bottom - top));
}

void GraphicsImpl::setTextSize(double size)
{
    if (size <= 0)
        size = 12;
    if (size != mTextSize) {
        mTextSize = size;
        mFontDirty = true;
    }
}

void GraphicsImpl::setBold(bool b)
{
    if (b != mBold) {
        mBold = b;
        mFontDirty = true;
    }
}

void GraphicsImpl::refreshFont()
{
    if (!mFontDirty)
        return;
    mFont = programFont(mTextSize, mBold);
    mMetrics.emplace(mFont);
    mLatin1Advances.fill(-1);
    mOtherAdvances.clear();
    mFontDirty = false;
}

const QFont& GraphicsImpl::font()
{
    refreshFont();
    return mFont;
}

const QFontMetricsF& GraphicsImpl::metrics()
{
    refreshFont();
    return *mMetrics;
}

const QFont& GraphicsImpl::CurrentFont::font(int, bool)
{
    return d.font();
}

int GraphicsImpl::fontPixelSize() const
{
    return pixelSize(mTextSize);
}

int32_t GraphicsImpl::rowOf(int64_t y)
{
    return static_cast<int32_t>(std::clamp<int64_t>(y, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

const QPen& GraphicsImpl::hairlinePen(const QColor& c)
{
    if (mHairline.style() == Qt::NoPen || mHairline.color() != c)
        mHairline = QPen(c, 0);
    return mHairline;
}

const QBrush& GraphicsImpl::fillBrush(const QColor& c)
{
    if (mFill.style() != Qt::SolidPattern || mFill.color() != c)
        mFill = QBrush(c);
    return mFill;
}

const QPen& GraphicsImpl::noPen()
{
    static const QPen pen(Qt::NoPen);
    return pen;
}

const QBrush& GraphicsImpl::noBrush()
{
    static const QBrush brush(Qt::NoBrush);
    return brush;
}

void GraphicsImpl::eraseIfPending()
{
    if (!erasePending)
        return;
    erasePending = false;
    describeNext({area(0, 0, width, height),
                  {},
                  (OperationKey('E') << int64_t{width} << int64_t{height}).take()});
    draw(0, height, [w = width, h = height](QPainter& p, TextFonts&) {
        p.fillRect(QRect(0, 0, w, h), Qt::white);
    });
}

void GraphicsImpl::eraseAround(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    if (!erasePending)
        return;
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, width);
    bottom = std::min<int64_t>(bottom, height);
    if (left >= right || top >= bottom) {
        eraseIfPending();
        return;
    }
    erasePending = false;
    // What lies above and below the covered rows, then beside it.
    const auto l = static_cast<int>(left), t = static_cast<int>(top);
    const auto r = static_cast<int>(right), b = static_cast<int>(bottom);
    const QRect around[4] = {QRect(0, 0, width, t), QRect(0, b, width, height - b),
                             QRect(0, t, l, b - t), QRect(r, t, width - r, b - t)};
    for (const QRect& rect : around)
        if (!rect.isEmpty()) {
            describeNext({rect, {}, (OperationKey('E') << rect).take()});
            draw(rect.top(), int64_t{rect.bottom()} + 1,
                 [rect](QPainter& p, TextFonts&) { p.fillRect(rect, Qt::white); });
        }
}

} // namespace detail

namespace {

// A colour as the surface draws it; a surface that prints in grey shades draws each colour as
// its grey, as the printer's own engine would.
QRgb inkOf(const detail::GraphicsImpl& d, Color c)
{
    if (d.grayscale) {
        const int grey = qGray(c.r, c.g, c.b);
        return qRgb(grey, grey, grey);
    }
    return qRgb(c.r, c.g, c.b);
}

// The drawing colour.
QColor ink(const detail::GraphicsImpl& d)
{
    return QColor(inkOf(d, d.fore));
}

// A coordinate plus a pen size, kept inside the Int32 range.
int add(int32_t v, int32_t d)
{
    const int64_t sum = static_cast<int64_t>(v) + d;
    return static_cast<int>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                std::numeric_limits<int32_t>::max()));
}

// Where a rounded rectangle's fill or outline may draw, and its key.
detail::OperationArea roundRectArea(detail::GraphicsImpl& d, char kind, int32_t x, int32_t y,
                                    int32_t w, int32_t h, int32_t arcW, int32_t arcH)
{
    return {d.area(int64_t{x} - 2, int64_t{y} - 2, int64_t{x} + w + 2, int64_t{y} + h + 2),
            {},
            (detail::OperationKey(kind) << int64_t{x} << int64_t{y} << int64_t{w} << int64_t{h}
                                        << int64_t{arcW} << int64_t{arcH} << int64_t{ink(d).rgb()})
                .take()};
}

QPolygon toPolygon(const std::vector<int32_t>& xy)
{
    QPolygon poly;
    poly.reserve(static_cast<int>(xy.size() / 2));
    for (size_t i = 0; i + 1 < xy.size(); i += 2)
        poly << QPoint(xy[i], xy[i + 1]);
    return poly;
}

} // namespace

detail::PenSweep detail::penSweep(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t pw,
                                  int32_t ph)
{
    // The sweep is the convex hull of the pen at both ends; which two corners lie inside it
    // depends on whether the line, taken from left to right, runs down or up.
    PenSweep sweep;
    if (x2 < x1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    if (x1 == x2 || y1 == y2) {
        sweep.isRect = true;
        sweep.rect = QRect(QPoint(x1, std::min(y1, y2)),
                           QPoint(add(x2, pw) - 1, add(std::max(y1, y2), ph) - 1));
        return sweep;
    }
    const int l1 = x1, r1 = add(x1, pw), t1 = y1, b1 = add(y1, ph);
    const int l2 = x2, r2 = add(x2, pw), t2 = y2, b2 = add(y2, ph);
    const QPoint down[6] = {{l1, t1}, {r1, t1}, {r2, t2}, {r2, b2}, {l2, b2}, {l1, b1}};
    const QPoint up[6] = {{l1, t1}, {l2, t2}, {r2, t2}, {r2, b2}, {r1, b1}, {l1, b1}};
    const QPoint* hull = y2 > y1 ? down : up;
    std::copy(hull, hull + 6, sweep.hexagon);
    return sweep;
}

Graphics::Graphics(std::unique_ptr<detail::GraphicsImpl> impl) : d(std::move(impl)) {}
Graphics::~Graphics() = default;

int32_t Graphics::width() const
{
    return d->width;
}
int32_t Graphics::height() const
{
    return d->height;
}
Color Graphics::foreColor() const
{
    return d->fore;
}
void Graphics::setForeColor(Color c)
{
    d->fore = c;
}
int32_t Graphics::penWidth() const
{
    return d->penWidth;
}
void Graphics::setPenWidth(int32_t w)
{
    d->penWidth = w;
}
int32_t Graphics::penHeight() const
{
    return d->penHeight;
}
void Graphics::setPenHeight(int32_t h)
{
    d->penHeight = h;
}
double Graphics::textSize() const
{
    return d->textSize();
}
void Graphics::setTextSize(double size)
{
    d->setTextSize(size);
}
void Graphics::setBold(bool bold)
{
    d->setBold(bold);
}

void Graphics::setLikelyToChange(bool changing)
{
    d->changing = changing;
}

void Graphics::fillRect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    if (w <= 0 || h <= 0)
        return;
    // The fill stands for the erase of what it covers.
    d->eraseAround(x, y, int64_t{x} + w, int64_t{y} + h);
    d->describeNext({d->area(x, y, int64_t{x} + w, int64_t{y} + h),
                     {},
                     (detail::OperationKey('f') << int64_t{x} << int64_t{y} << int64_t{w}
                                                << int64_t{h} << int64_t{ink(*d).rgb()})
                         .take()});
    d->draw(y, int64_t{y} + h,
            [r = QRect(x, y, w, h), c = ink(*d)](QPainter& p, auto&) { p.fillRect(r, c); });
}

void Graphics::fillColumns(int32_t x, int32_t y, int32_t h, const std::vector<Color>& colors)
{
    if (h <= 0 || colors.empty())
        return;
    // Only what lies on the surface is drawn.
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t right =
        std::min<int64_t>(int64_t{x} + static_cast<int64_t>(colors.size()), d->width);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t bottom = std::min<int64_t>(int64_t{y} + h, d->height);
    if (left >= right || top >= bottom)
        return;
    // One row of the colours, repeated down the rows by a fill with it as the pattern.
    QImage row(static_cast<int>(right - left), 1, QImage::Format_RGB32);
    auto* pixels = reinterpret_cast<QRgb*>(row.scanLine(0));
    for (int64_t i = left; i < right; ++i)
        pixels[i - left] = inkOf(*d, colors[static_cast<size_t>(i - x)]);
    const QRect r(static_cast<int>(left), static_cast<int>(top), row.width(),
                  static_cast<int>(bottom - top));
    d->eraseAround(left, top, right, bottom);
    d->describeNext({r,
                     {},
                     (detail::OperationKey('c') << r)
                         .bytes(row.constBits(), static_cast<size_t>(row.width()) * sizeof(QRgb))
                         .take()});
    d->draw(top, bottom, [row = std::move(row), r](QPainter& p, auto&) {
        const QPointF origin = p.brushOrigin();
        p.setBrushOrigin(r.topLeft());
        p.fillRect(r, QBrush(row));
        p.setBrushOrigin(origin);
    });
}

void Graphics::fillRows(int32_t x, int32_t y, int32_t w, const std::vector<Color>& colors)
{
    if (w <= 0 || colors.empty())
        return;
    // Only what lies on the surface is drawn.
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t right = std::min<int64_t>(int64_t{x} + w, d->width);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t bottom =
        std::min<int64_t>(int64_t{y} + static_cast<int64_t>(colors.size()), d->height);
    if (left >= right || top >= bottom)
        return;
    std::vector<QRgb> rows;
    rows.reserve(static_cast<size_t>(bottom - top));
    for (int64_t i = top; i < bottom; ++i)
        rows.push_back(inkOf(*d, colors[static_cast<size_t>(i - y)]));
    d->eraseAround(left, top, right, bottom);
    d->describeNext({d->area(left, top, right, bottom),
                     {},
                     (detail::OperationKey('w') << left << top << right)
                         .bytes(rows.data(), rows.size() * sizeof(QRgb))
                         .take()});
    d->draw(top, bottom,
            [rows = std::move(rows), l = static_cast<int>(left), t = static_cast<int>(top),
             w = static_cast<int>(right - left)](QPainter& p, auto&) {
                // Drawn in a band, only the band's own rows.
                int first = t;
                int last = t + static_cast<int>(rows.size());
                if (p.hasClipping()) {
                    const QRect clip = p.clipBoundingRect().toAlignedRect();
                    first = std::max(first, clip.top());
                    last = std::min(last, clip.bottom() + 1);
                }
                for (int row = first; row < last; ++row)
                    p.fillRect(QRect(l, row, w, 1), QColor(rows[static_cast<size_t>(row - t)]));
            });
}

void Graphics::drawRect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    if (w <= 0 || h <= 0 || d->penWidth <= 0 || d->penHeight <= 0)
        return;
    const int32_t pw = std::min(d->penWidth, w);
    const int32_t ph = std::min(d->penHeight, h);
    d->describeNext(
        {d->area(x, y, int64_t{x} + w, int64_t{y} + h),
         {},
         (detail::OperationKey('r') << int64_t{x} << int64_t{y} << int64_t{w} << int64_t{h}
                                    << int64_t{pw} << int64_t{ph} << int64_t{ink(*d).rgb()})
             .take()});
    d->draw(y, int64_t{y} + h, [=, c = ink(*d)](QPainter& p, auto&) {
        p.fillRect(QRect(x, y, w, ph), c);
        p.fillRect(QRect(x, y + h - ph, w, ph), c);
        p.fillRect(QRect(x, y, pw, h), c);
        p.fillRect(QRect(x + w - pw, y, pw, h), c);
    });
}

void Graphics::fillOval(int32_t x, int32_t y, int32_t w, int32_t h)
{
    if (w <= 0 || h <= 0)
        return;
    d->describeNext(
        {d->area(int64_t{x} - 2, int64_t{y} - 2, int64_t{x} + w + 2, int64_t{y} + h + 2),
         {},
         (detail::OperationKey('o')
          << int64_t{x} << int64_t{y} << int64_t{w} << int64_t{h} << int64_t{ink(*d).rgb()})
             .take()});
    d->draw(y, int64_t{y} + h + 1,
            [r = QRectF(x, y, w, h), brush = d->fillBrush(ink(*d))](QPainter& p, auto&) {
                p.setPen(detail::GraphicsImpl::noPen());
                p.setBrush(brush);
                p.drawEllipse(r);
            });
}

void Graphics::drawOval(int32_t x, int32_t y, int32_t w, int32_t h)
{
    if (w <= 0 || h <= 0)
        return;
    const int32_t pen = std::max(1, std::max(d->penWidth, d->penHeight));
    d->describeNext(
        {d->area(int64_t{x} - 2, int64_t{y} - 2, int64_t{x} + w + pen + 2,
                 int64_t{y} + h + pen + 2),
         {},
         (detail::OperationKey('O') << int64_t{x} << int64_t{y} << int64_t{w} << int64_t{h}
                                    << int64_t{pen} << int64_t{ink(*d).rgb()})
             .take()});
    d->draw(int64_t{y} - 1, int64_t{y} + h + pen,
            [=, c = ink(*d), hairline = d->hairlinePen(ink(*d))](QPainter& p, auto&) {
                p.setBrush(detail::GraphicsImpl::noBrush());
                if (pen == 1) {
                    p.setPen(hairline);
                    p.drawEllipse(QRect(x, y, w - 1, h - 1));
                } else {
                    p.setPen(QPen(c, pen));
                    const double inset = pen / 2.0;
                    p.drawEllipse(QRectF(x + inset, y + inset, w - pen, h - pen));
                }
            });
}

void Graphics::fillRoundRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t arcW, int32_t arcH)
{
    if (w <= 0 || h <= 0)
        return;
    // The fill is the shape that drawRoundRect outlines, its outline included: the same
    // rounded rectangle, filled and traced with a 1-pixel pen of the fill colour. An outline
    // drawn over it then covers its edge exactly, and no fill shows outside it at the corners.
    d->describeNext(roundRectArea(*d, 'q', x, y, w, h, arcW, arcH));
    d->draw(y, int64_t{y} + h + 1,
            [r = QRectF(x, y, w - 1, h - 1), rx = arcW / 2.0, ry = arcH / 2.0,
             pen = d->hairlinePen(ink(*d)), brush = d->fillBrush(ink(*d))](QPainter& p, auto&) {
                p.setPen(pen);
                p.setBrush(brush);
                p.drawRoundedRect(r, rx, ry);
            });
}

void Graphics::drawRoundRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t arcW, int32_t arcH)
{
    if (w <= 0 || h <= 0)
        return;
    d->describeNext(roundRectArea(*d, 'Q', x, y, w, h, arcW, arcH));
    d->draw(y, int64_t{y} + h + 1,
            [r = QRectF(x, y, w - 1, h - 1), rx = arcW / 2.0, ry = arcH / 2.0,
             pen = d->hairlinePen(ink(*d))](QPainter& p, auto&) {
                p.setBrush(detail::GraphicsImpl::noBrush());
                p.setPen(pen);
                p.drawRoundedRect(r, rx, ry);
            });
}

void Graphics::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    const int32_t pw = d->penWidth;
    const int32_t ph = d->penHeight;
    if (pw <= 0 || ph <= 0)
        return;
    const QColor c = ink(*d);
    const int64_t top = std::min(y1, y2);
    const int64_t bottom = int64_t{std::max(y1, y2)} + ph + 1;
    d->describeNext(
        {d->area(int64_t{std::min(x1, x2)} - 2, top - 2, int64_t{std::max(x1, x2)} + pw + 2,
                 bottom + 2),
         std::array<int32_t, 6>{x1, y1, x2, y2, pw, ph},
         (detail::OperationKey('l') << int64_t{x1} << int64_t{y1} << int64_t{x2} << int64_t{y2}
                                    << int64_t{pw} << int64_t{ph} << int64_t{c.rgb()})
             .take(),
         c.rgb()});
    if (pw == 1 && ph == 1) {
        d->draw(top, bottom, [=, pen = d->hairlinePen(c)](QPainter& p, auto&) {
            p.setPen(pen);
            p.drawLine(x1, y1, x2, y2);
        });
        return;
    }
    const detail::PenSweep sweep = detail::penSweep(x1, y1, x2, y2, pw, ph);
    if (sweep.isRect) {
        d->draw(top, bottom, [r = sweep.rect, c](QPainter& p, auto&) { p.fillRect(r, c); });
        return;
    }
    // Far out, the toolkit cuts a polygon to its device before filling it, which a device of
    // a band's rows alone would cut elsewhere.
    constexpr int kNear = 1 << 22;
    const bool near = std::all_of(sweep.hexagon, sweep.hexagon + 6, [](const QPoint& v) {
        return -kNear < v.x() && v.x() < kNear && -kNear < v.y() && v.y() < kNear;
    });
    d->draw(
        top, bottom,
        [sweep, brush = d->fillBrush(c)](QPainter& p, auto&) {
            p.setPen(detail::GraphicsImpl::noPen());
            p.setBrush(brush);
            p.drawConvexPolygon(sweep.hexagon, 6);
        },
        near);
}

namespace {

// The rows a polygon through these vertices may touch.
std::pair<int64_t, int64_t> rowsOf(const QPolygon& polygon)
{
    const QRect bounds = polygon.boundingRect();
    return {int64_t{bounds.top()} - 1, int64_t{bounds.bottom()} + 2};
}

} // namespace

void Graphics::drawPolygon(const std::vector<int32_t>& xy)
{
    if (xy.size() < 4)
        return;
    const QPolygon polygon = toPolygon(xy);
    const auto [top, bottom] = rowsOf(polygon);
    const QRect box = polygon.boundingRect();
    d->describeNext(
        {d->area(int64_t{box.left()} - 2, top - 1, int64_t{box.right()} + 3, bottom + 1),
         {},
         (detail::OperationKey('p') << int64_t{ink(*d).rgb()})
             .bytes(xy.data(), xy.size() * sizeof(int32_t))
             .take()});
    d->draw(top, bottom, [polygon, pen = d->hairlinePen(ink(*d))](QPainter& p, auto&) {
        p.setBrush(detail::GraphicsImpl::noBrush());
        p.setPen(pen);
        p.drawPolygon(polygon);
    });
}

void Graphics::drawString(std::string_view text, int32_t x, int32_t y)
{
    if (text.empty())
        return;
    std::optional<detail::VisibleText> visible = detail::visiblePart(*d, text, x, y);
    if (!visible)
        return;
    // Glyphs reach at most about a text size above the baseline and below it; twice that is
    // taken to be sure.
    const int size = d->fontPixelSize();
    // A glyph's ink reaches beyond its advance by less than about twice the text size.
    const double advance = d->metrics().horizontalAdvance(visible->text);
    const int64_t reach = 2 * int64_t{size} + 4;
    d->describeNext(
        {d->area(static_cast<int64_t>(std::floor(visible->left)) - reach, int64_t{y} - 2 * size - 2,
                 static_cast<int64_t>(std::ceil(visible->left + std::max(advance, 0.0))) + reach,
                 int64_t{y} + size + 2),
         {},
         (detail::OperationKey('s')
          << visible->left << int64_t{y} << int64_t{size} << int64_t{d->bold()}
          << int64_t{ink(*d).rgb()} << visible->text)
             .take()});
    d->draw(int64_t{y} - 2 * size - 2, int64_t{y} + size + 2,
            [s = std::move(visible->text), left = visible->left, y, size, bold = d->bold(),
             pen = d->hairlinePen(ink(*d))](QPainter& p, detail::TextFonts& fonts) {
                p.setPen(pen);
                p.setFont(fonts.font(size, bold));
                p.drawText(QPointF(left, y), s);
            });
}

void Graphics::drawStringInside(std::string_view text, int32_t x, int32_t y)
{
    if (text.empty())
        return;
    const QFontMetricsF& metrics = d->metrics();
    const QPoint at = detail::placedInside(stringWidth(text), metrics.ascent(), metrics.descent(),
                                           x, y, d->width, d->height);
    drawString(text, at.x(), at.y());
}

double Graphics::stringWidth(std::string_view text) const
{
    if (text.empty())
        return 0;
    return detail::textWidth(*d, text);
}

} // namespace platform
