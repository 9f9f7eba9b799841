#pragma once

#include "platform/color.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <array>
#include <memory>
#include <optional>
#include <unordered_map>

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
    /// The advance of one character in the current font, taken alone: without kerning or
    /// shaping. What the parts of a long text that lie beyond the surface are counted at.
    double plainAdvance(char32_t c);
    /// plainAdvance's answers so far for the 256 Latin-1 characters; negative where not known
    /// yet. Valid until the font changes.
    const double* latin1Advances();

private:
    void refreshFont();
    double mTextSize = 12;
    bool mBold = false;
    bool mFontDirty = true;
    QFont mFont;
    std::optional<QFontMetricsF> mMetrics;
    // plainAdvance's answers for the current font; negative while not known yet.
    std::array<double, 256> mLatin1Advances{};
    std::unordered_map<char32_t, double> mOtherAdvances;
};

} // namespace platform::detail
