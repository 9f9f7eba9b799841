#include "platform/graphics.h"

#include "platform/internal/graphics_p.h"
#include "platform/internal/qt_util.h"

#include <QFontDatabase>
#include <QPolygon>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <tuple>
#include <utility>

namespace platform {
namespace detail {

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
        return name.isEmpty() ? QStringLiteral("DejaVu Sans") : name;
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
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
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

const double* GraphicsImpl::latin1Advances()
{
    refreshFont();
    return mLatin1Advances.data();
}

double GraphicsImpl::plainAdvance(char32_t c)
{
    refreshFont();
    if (c < mLatin1Advances.size()) {
        double& advance = mLatin1Advances[c];
        if (advance < 0)
            advance = mMetrics->horizontalAdvance(QChar(c));
        return advance;
    }
    const auto known = mOtherAdvances.find(c);
    if (known != mOtherAdvances.end())
        return known->second;
    const double advance = QChar::requiresSurrogates(c)
                               ? mMetrics->horizontalAdvance(QString::fromUcs4(&c, 1))
                               : mMetrics->horizontalAdvance(QChar(c));
    mOtherAdvances.emplace(c, advance);
    return advance;
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

void GraphicsImpl::eraseIfPending()
{
    if (!erasePending)
        return;
    erasePending = false;
    draw(0, height, [w = width, h = height](QPainter& p, TextFonts&) {
        p.fillRect(QRect(0, 0, w, h), Qt::white);
    });
}

} // namespace detail

namespace {

// The drawing colour; a surface that prints in grey shades draws each colour as its grey, as
// the printer's own engine would.
QColor ink(const detail::GraphicsImpl& d)
{
    const Color c = d.fore;
    if (d.grayscale) {
        const int grey = qGray(c.r, c.g, c.b);
        return QColor(grey, grey, grey);
    }
    return QColor(c.r, c.g, c.b);
}

// A coordinate plus a pen size, kept inside the Int32 range.
int add(int32_t v, int32_t d)
{
    const int64_t sum = static_cast<int64_t>(v) + d;
    return static_cast<int>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                std::numeric_limits<int32_t>::max()));
}

// A text is laid out only as far as it can be seen: laying out a text costs time in proportion
// to its length, and a name can be millions of characters long. Texts of up to this many UTF-16
// units are laid out whole; a longer one in prefixes that double from this length until one
// reaches past the surface's right edge.
constexpr qsizetype kWholeText = 256;

// How far a glyph's ink may reach beyond its advance: text that lies further than this beyond
// an edge of the surface leaves no mark on it.
double inkReach(const detail::GraphicsImpl& d)
{
    return 2 * d.textSize() + 2;
}

// The code point at `i`, with `i` moved past it.
char32_t nextCodePoint(const QString& s, qsizetype& i)
{
    const QChar c = s[i++];
    if (c.isHighSurrogate() && i < s.size() && s[i].isLowSurrogate())
        return QChar::surrogateToUcs4(c, s[i++]);
    return c.unicode();
}

// Whether the code point `c` at `i` belongs to the character before it: a lone low surrogate,
// a mark, a joiner, or what a joiner joins.
bool joinsPrevious(const QString& s, qsizetype i, char32_t c)
{
    if (i == 0)
        return false;
    if (s[i - 1] == QChar(0x200D))
        return true;
    if (c < 0x300) // below the combining marks
        return false;
    const QChar::Category category = QChar::category(c);
    return s[i].isLowSurrogate() || category == QChar::Mark_NonSpacing ||
           category == QChar::Mark_SpacingCombining || category == QChar::Mark_Enclosing ||
           c == 0x200D;
}

// The first place at or after `i` where the text can be cut without parting a character from
// its surrogate, its marks or a joiner.
qsizetype clusterBoundary(const QString& s, qsizetype i)
{
    while (i < s.size()) {
        qsizetype next = i;
        if (!joinsPrevious(s, i, nextCodePoint(s, next)))
            break;
        i = next;
    }
    return i;
}

// Lays out s[from, end) for the first cut `end` at which the laid-out width passes `limit`, or
// for the rest of the text; returns `end` and that width.
std::pair<qsizetype, double> layOutUntil(const QFontMetricsF& metrics, const QString& s,
                                         qsizetype from, double limit)
{
    for (qsizetype n = kWholeText;; n *= 2) {
        const qsizetype end = n >= s.size() - from ? s.size() : clusterBoundary(s, from + n);
        const double width = metrics.horizontalAdvance(s.sliced(from, end - from));
        if (end == s.size() || width > limit)
            return {end, width};
    }
}

// The width of s[from, to) at the characters' plain advances.
double plainWidth(detail::GraphicsImpl& d, const QString& s, qsizetype from, qsizetype to)
{
    // A long text is mostly Latin-1: those characters are looked up at once.
    const auto* text = reinterpret_cast<const char16_t*>(s.utf16());
    const double* latin1 = d.latin1Advances();
    double width = 0;
    for (qsizetype i = from; i < to;) {
        const char16_t u = text[i];
        if (u < 256 && latin1[u] >= 0) {
            width += latin1[u];
            ++i;
        } else {
            width += d.plainAdvance(nextCodePoint(s, i));
        }
    }
    return width;
}

// Kerning and shaping make a text narrower or wider than its characters taken alone: the
// factor from the plain width of s[0, end) to its laid-out width, at which the rest of a long
// text is counted.
double layoutScale(detail::GraphicsImpl& d, const QString& s, qsizetype end, double laidOut)
{
    const double plain = plainWidth(d, s, 0, end);
    return plain > 0 ? laidOut / plain : 1.0;
}

// Where the first cluster of `s` that reaches `edge` starts, for a text that starts at `left`:
// its index, and its position counted at plain advances times `scale`. The end of the text
// when none does.
std::pair<qsizetype, double> skipUntil(detail::GraphicsImpl& d, const QString& s, double left,
                                       double edge, double scale)
{
    const auto* text = reinterpret_cast<const char16_t*>(s.utf16());
    const double* latin1 = d.latin1Advances();
    qsizetype clusterStart = 0;
    double clusterLeft = left;
    for (qsizetype i = 0; i < s.size();) {
        const qsizetype at = i;
        const char16_t u = text[i];
        const char32_t c = u < 256 ? text[i++] : nextCodePoint(s, i);
        const bool joined = u < 256 ? at > 0 && text[at - 1] == 0x200D : joinsPrevious(s, at, c);
        if (!joined) {
            // The cluster before ends at `left`.
            if (at > 0 && left >= edge)
                return {clusterStart, clusterLeft};
            clusterStart = at;
            clusterLeft = left;
        }
        left += (u < 256 && latin1[u] >= 0 ? latin1[u] : d.plainAdvance(c)) * scale;
    }
    if (left >= edge)
        return {clusterStart, clusterLeft};
    return {s.size(), left};
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

void Graphics::fillRect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    if (w <= 0 || h <= 0)
        return;
    // A fill of the whole surface stands for its erase.
    if (x <= 0 && y <= 0 && int64_t{x} + w >= d->width && int64_t{y} + h >= d->height)
        d->erasePending = false;
    d->draw(y, int64_t{y} + h,
            [r = QRect(x, y, w, h), c = ink(*d)](QPainter& p, auto&) { p.fillRect(r, c); });
}

void Graphics::drawRect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    if (w <= 0 || h <= 0 || d->penWidth <= 0 || d->penHeight <= 0)
        return;
    const int32_t pw = std::min(d->penWidth, w);
    const int32_t ph = std::min(d->penHeight, h);
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
    d->draw(y, int64_t{y} + h + 1, [r = QRectF(x, y, w, h), c = ink(*d)](QPainter& p, auto&) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(r);
    });
}

void Graphics::drawOval(int32_t x, int32_t y, int32_t w, int32_t h)
{
    if (w <= 0 || h <= 0)
        return;
    const int32_t pen = std::max(1, std::max(d->penWidth, d->penHeight));
    d->draw(int64_t{y} - 1, int64_t{y} + h + pen, [=, c = ink(*d)](QPainter& p, auto&) {
        p.setBrush(Qt::NoBrush);
        if (pen == 1) {
            p.setPen(QPen(c, 0));
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
    d->draw(y, int64_t{y} + h + 1,
            [r = QRectF(x, y, w, h), rx = arcW / 2.0, ry = arcH / 2.0, c = ink(*d)](QPainter& p,
                                                                                    auto&) {
                p.setPen(Qt::NoPen);
                p.setBrush(c);
                p.drawRoundedRect(r, rx, ry);
            });
}

void Graphics::drawRoundRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t arcW, int32_t arcH)
{
    if (w <= 0 || h <= 0)
        return;
    d->draw(y, int64_t{y} + h + 1,
            [r = QRectF(x, y, w - 1, h - 1), rx = arcW / 2.0, ry = arcH / 2.0,
             c = ink(*d)](QPainter& p, auto&) {
                p.setBrush(Qt::NoBrush);
                p.setPen(QPen(c, 0));
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
    if (pw == 1 && ph == 1) {
        d->draw(top, bottom, [=](QPainter& p, auto&) {
            p.setPen(QPen(c, 0));
            p.drawLine(x1, y1, x2, y2);
        });
        return;
    }
    const detail::PenSweep sweep = detail::penSweep(x1, y1, x2, y2, pw, ph);
    if (sweep.isRect) {
        d->draw(top, bottom, [r = sweep.rect, c](QPainter& p, auto&) { p.fillRect(r, c); });
        return;
    }
    d->draw(top, bottom, [sweep, c](QPainter& p, auto&) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawConvexPolygon(sweep.hexagon, 6);
    });
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
    d->draw(top, bottom, [polygon, c = ink(*d)](QPainter& p, auto&) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(c, 0));
        p.drawPolygon(polygon);
    });
}

void Graphics::drawString(std::string_view text, int32_t x, int32_t y)
{
    if (text.empty())
        return;
    const QFontMetricsF& metrics = d->metrics();
    const double reach = inkReach(*d);
    // Text wholly above, below or right of the surface leaves no mark.
    if (y + metrics.descent() + reach < 0 || y - metrics.ascent() - reach > d->height ||
        x - reach > d->width)
        return;
    QString s = detail::qs(text);
    double left = x;
    if (s.size() > kWholeText) {
        // Only what can be seen is laid out: the characters left of the surface are stepped
        // over at their plain advances (scaled as the text's start lays out), and the text is
        // cut once it has passed the right edge.
        qsizetype from = 0;
        if (left < -reach) {
            const auto [end, width] = layOutUntil(metrics, s, 0, 0);
            std::tie(from, left) = skipUntil(*d, s, left, -reach, layoutScale(*d, s, end, width));
        }
        const qsizetype end = layOutUntil(metrics, s, from, d->width + reach - left).first;
        s = s.sliced(from, end - from);
    }
    // Glyphs reach at most about a text size above the baseline and below it; twice that is
    // taken to be sure.
    const int size = d->fontPixelSize();
    d->draw(int64_t{y} - 2 * size - 2, int64_t{y} + size + 2,
            [s = std::move(s), left, y, size, bold = d->bold(),
             c = ink(*d)](QPainter& p, detail::TextFonts& fonts) {
                p.setPen(QPen(c, 0));
                p.setFont(fonts.font(size, bold));
                p.drawText(QPointF(left, y), s);
            });
}

double Graphics::stringWidth(std::string_view text) const
{
    if (text.empty())
        return 0;
    // Exact for a text as wide as the surface; a wider one is laid out until it has passed the
    // surface's width, and its rest counted at the characters' plain advances, scaled as the
    // part laid out.
    const QString s = detail::qs(text);
    const auto [end, width] = layOutUntil(d->metrics(), s, 0, d->width + inkReach(*d));
    if (end == s.size())
        return width;
    return width + plainWidth(*d, s, end, s.size()) * layoutScale(*d, s, end, width);
}

} // namespace platform
