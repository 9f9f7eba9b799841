#include "platform/internal/text_layout_p.h"

#include "platform/internal/qt_util.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace platform::detail {

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

namespace {

// A text is laid out only as far as it can be seen: laying out a text costs time in proportion
// to its length, and a name can be millions of characters long. Texts of up to this many UTF-16
// units are laid out whole; a longer one in prefixes that double from this length until one
// reaches past the surface's right edge.
constexpr qsizetype kWholeText = 256;

// How far a glyph's ink may reach beyond its advance: text that lies further than this beyond
// an edge of the surface leaves no mark on it.
double inkReach(const GraphicsImpl& d)
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
double plainWidth(GraphicsImpl& d, const QString& s, qsizetype from, qsizetype to)
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
double layoutScale(GraphicsImpl& d, const QString& s, qsizetype end, double laidOut)
{
    const double plain = plainWidth(d, s, 0, end);
    return plain > 0 ? laidOut / plain : 1.0;
}

// Where the first cluster of `s` that reaches `edge` starts, for a text that starts at `left`:
// its index, and its position counted at plain advances times `scale`. The end of the text
// when none does.
std::pair<qsizetype, double> skipUntil(GraphicsImpl& d, const QString& s, double left, double edge,
                                       double scale)
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

} // namespace

std::optional<VisibleText> visiblePart(GraphicsImpl& d, std::string_view text, int32_t x, int32_t y)
{
    const QFontMetricsF& metrics = d.metrics();
    const double reach = inkReach(d);
    // Text wholly above, below or right of the surface leaves no mark.
    if (y + metrics.descent() + reach < 0 || y - metrics.ascent() - reach > d.height ||
        x - reach > d.width)
        return std::nullopt;
    VisibleText visible{qs(text), static_cast<double>(x)};
    QString& s = visible.text;
    if (s.size() > kWholeText) {
        // Only what can be seen is laid out: the characters left of the surface are stepped
        // over at their plain advances (scaled as the text's start lays out), and the text is
        // cut once it has passed the right edge.
        qsizetype from = 0;
        if (visible.left < -reach) {
            const auto [end, width] = layOutUntil(metrics, s, 0, 0);
            std::tie(from, visible.left) =
                skipUntil(d, s, visible.left, -reach, layoutScale(d, s, end, width));
        }
        const qsizetype end = layOutUntil(metrics, s, from, d.width + reach - visible.left).first;
        s = s.sliced(from, end - from);
    }
    return visible;
}

QPoint placedInside(double width, double ascent, double descent, int32_t x, int32_t y,
                    int32_t surfaceWidth, int32_t surfaceHeight)
{
    // The text's box: its advance across, the font's ascent above the baseline and its descent
    // below it.
    constexpr double kSpare = 2;
    const double right = static_cast<double>(surfaceWidth) - kSpare;
    const double bottom = static_cast<double>(surfaceHeight) - kSpare;
    double left = x;
    if (left + width > right)
        left = std::floor(right - width);
    left = std::max(left, kSpare);
    double baseline = y;
    if (baseline + descent > bottom)
        baseline = std::floor(bottom - descent);
    baseline = std::max(baseline, std::ceil(kSpare + ascent));
    return QPoint(static_cast<int>(left), static_cast<int>(baseline));
}

double textWidth(GraphicsImpl& d, std::string_view text)
{
    const QString s = qs(text);
    const auto [end, width] = layOutUntil(d.metrics(), s, 0, d.width + inkReach(d));
    if (end == s.size())
        return width;
    return width + plainWidth(d, s, end, s.size()) * layoutScale(d, s, end, width);
}

} // namespace platform::detail
