#pragma once

#include "platform/color.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <memory>
#include <vector>

namespace platform::detail {

/// The program's one font family, loaded from the installed DejaVu files.
QString fontFamily();
/// The font for a text size (pixels) and weight.
QFont programFont(double size, bool bold);

struct GraphicsImpl {
    GraphicsImpl(QPainter* painter, int32_t width, int32_t height);

    QPainter* painter;
    int32_t width;
    int32_t height;

    Color fore{0, 0, 0};
    int32_t penWidth = 1;
    int32_t penHeight = 1;
    double textSize() const { return mTextSize; }
    bool bold() const { return mBold; }
    void setTextSize(double size);
    void setBold(bool bold);

    const QFont& font();
    const QFontMetricsF& metrics();

    // The painter's pen, brush and font are set only when they differ from what a primitive
    // needs: a paint switches between a few of them thousands of times.
    /// Fills in the colour, with no outline.
    void useFill(const QColor& color);
    /// Strokes 1-pixel lines, and draws text, in the colour; leaves the brush as it is.
    void useHairline(const QColor& color);
    /// The current text size and weight on the painter.
    void useFont();

private:
    struct FontEntry {
        int pixelSize;
        bool bold;
        QFont font;
        QFontMetricsF metrics;
    };

    void refreshFont();
    double mTextSize = 12;
    bool mBold = false;
    bool mFontDirty = true;
    // The fonts this surface has used: a paint moves between a few sizes and weights, and
    // making a font and its metrics afresh for each change would cost more than the text.
    std::vector<std::unique_ptr<FontEntry>> mFonts;
    const FontEntry* mCurrent = nullptr;
};

} // namespace platform::detail
