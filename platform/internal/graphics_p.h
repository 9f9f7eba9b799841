#pragma once

#include "platform/color.h"

#include <QBrush>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QRect>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform::detail {

/// The family of the program's one font.
inline constexpr const char* kFontFamily = "DejaVu Sans";

/// Makes fontconfig's configuration the one that lists the program's family alone, or the
/// machine's own where that family is missing. Runs before the toolkit's first text.
void loadFontConfig();

/// The program's one font family, loaded from the installed DejaVu files.
QString fontFamily();
/// The font for a text size (pixels) and weight.
QFont programFont(double size, bool bold);

/// What a rectangular pen of pw by ph (more than 1 by 1) sweeps along a line when it hangs
/// right and below each of the line's points: a rectangle when the line is level or upright,
/// else the hexagon of the pen's corners at both ends less the two that lie inside it.
struct PenSweep {
    bool isRect = false;
    QRect rect;
    QPoint hexagon[6];
};
PenSweep penSweep(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t pw, int32_t ph);

/// The fonts a drawing operation draws its text with, by pixel size and weight: the surface's
/// own when it is drawn straight away, fonts of their own on the threads that paint a band.
class TextFonts {
public:
    virtual ~TextFonts() = default;
    virtual const QFont& font(int pixelSize, bool bold) = 0;
};

/// One drawing operation, and the rows of its surface that it may touch (top included,
/// bottom not): enough to draw a surface in horizontal bands, each band only with the
/// operations that reach into it.
struct DrawingOperation {
    int32_t top = 0;
    int32_t bottom = 0;
    /// A fill of a polygon of whole-pixel vertices, which the toolkit fills with the same
    /// pixels on a device of a band's rows alone: it then scans only those rows.
    bool polygonFill = false;
    std::function<void(QPainter&, TextFonts&)> draw;
    /// The pixels the operation may touch, a little more rather than less, kept to about the
    /// surface; empty: any column of its rows.
    QRect bounds;
    /// A line's ends and pen (x1, y1, x2, y2, pen width, pen height): of its bounds it touches
    /// only what lies along the line.
    std::optional<std::array<int32_t, 6>> line;
    /// Whatever decides the operation's pixels: two operations of the same key draw the same
    /// pixels. Empty: the operation is never taken for one drawn before.
    std::string key;
    /// Set: the operation sets each pixel it touches to this opaque colour, whatever lay there,
    /// and touches the same pixels on any device. A run of such operations of one colour then
    /// shows the same pixels in any order, and as their union.
    std::optional<QRgb> solid;
    /// The drawing marked the operation as likely to be drawn otherwise next time.
    bool changing = false;
};

/// Where the next drawing operation may draw, and what decides its pixels.
struct OperationArea {
    QRect bounds;
    std::optional<std::array<int32_t, 6>> line;
    std::string key;
    std::optional<QRgb> solid = std::nullopt;
};

/// The bytes of an operation's key: its kind, then what decides its pixels.
class OperationKey {
public:
    explicit OperationKey(char kind);
    OperationKey& operator<<(int64_t v);
    OperationKey& operator<<(double v);
    OperationKey& operator<<(const QRect& r);
    OperationKey& operator<<(const QString& text);
    OperationKey& bytes(const void* data, size_t size);
    std::string take() { return std::move(mBytes); }

private:
    std::string mBytes;
};

struct GraphicsImpl {
    GraphicsImpl(QPainter* painter, int32_t width, int32_t height);
    GraphicsImpl(const GraphicsImpl&) = delete;
    GraphicsImpl& operator=(const GraphicsImpl&) = delete;

    QPainter* painter;
    int32_t width;
    int32_t height;

    Color fore{0, 0, 0};
    /// Draws every colour as its grey (a page printed in grey shades).
    bool grayscale = false;
    int32_t penWidth = 1;
    int32_t penHeight = 1;
    double textSize() const { return mTextSize; }
    bool bold() const { return mBold; }
    void setTextSize(double size);
    void setBold(bool bold);

    const QFont& font();
    const QFontMetricsF& metrics();
    int fontPixelSize() const;
    /// The advance of one character in the current font, taken alone: without kerning or
    /// shaping. What the parts of a long text that lie beyond the surface are counted at.
    double plainAdvance(char32_t c);
    /// plainAdvance's answers so far for the 256 Latin-1 characters; negative where not known
    /// yet. Valid until the font changes.
    const double* latin1Advances();

    /// A one-pixel pen and a fill of a colour, the same objects as long as the colour stays:
    /// a painter that holds them already takes them again without a change of its state, which
    /// counts where a drawing is painted again in every band.
    const QPen& hairlinePen(const QColor& c);
    const QBrush& fillBrush(const QColor& c);
    static const QPen& noPen();
    static const QBrush& noBrush();

    /// The rectangle from (left, top) to (right, bottom), not included, as far as it lies on
    /// or about the surface; one beyond the surface when none of it does.
    QRect area(int64_t left, int64_t top, int64_t right, int64_t bottom) const;

    /// While set, the drawing operations are kept here in their order instead of drawn.
    std::vector<DrawingOperation>* recording = nullptr;
    /// The operations drawn while set are marked as likely to change.
    bool changing = false;
    /// The surface is erased to white before the first drawing operation, unless that one
    /// covers the whole surface itself.
    bool erasePending = false;

    /// Where the next operation that draw() draws or keeps may draw, and its key.
    void describeNext(OperationArea area) { mNext = std::move(area); }
    /// Draws, or keeps, an operation that touches the rows from top to bottom (not included).
    template <class Paint>
    void draw(int64_t top, int64_t bottom, Paint&& paint, bool polygonFill = false)
    {
        OperationArea area = std::exchange(mNext, {});
        eraseIfPending();
        if (recording)
            recording->push_back(
                {rowOf(top), rowOf(bottom), polygonFill,
                 std::function<void(QPainter&, TextFonts&)>(std::forward<Paint>(paint)),
                 area.bounds, area.line, std::move(area.key), area.solid, changing});
        else
            paint(*painter, mCurrentFont);
    }
    /// The erase that no drawing operation made unnecessary.
    void eraseIfPending();
    /// Before an operation that covers the rectangle from (left, top) to (right, bottom), not
    /// included, with opaque pixels: a pending erase whitens only the rest of the surface.
    void eraseAround(int64_t left, int64_t top, int64_t right, int64_t bottom);

private:
    // Drawn straight away, an operation's text size and weight are the surface's.
    struct CurrentFont : TextFonts {
        explicit CurrentFont(GraphicsImpl& g) : d(g) {}
        const QFont& font(int pixelSize, bool bold) override;
        GraphicsImpl& d;
    };

    static int32_t rowOf(int64_t y);
    void refreshFont();
    double mTextSize = 12;
    bool mBold = false;
    bool mFontDirty = true;
    QFont mFont;
    std::optional<QFontMetricsF> mMetrics;
    // plainAdvance's answers for the current font; negative while not known yet.
    std::array<double, 256> mLatin1Advances{};
    std::unordered_map<char32_t, double> mOtherAdvances;
    OperationArea mNext;
    QPen mHairline{Qt::NoPen};
    QBrush mFill;
    CurrentFont mCurrentFont{*this};
};

} // namespace platform::detail
