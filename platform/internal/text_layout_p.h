#pragma once

// Texts laid out only as far as a surface shows them: a name can be millions of characters long,
// and laying a text out costs time in proportion to its length.

#include "platform/internal/graphics_p.h"

#include <QPoint>
#include <QString>

#include <optional>
#include <string_view>

namespace platform::detail {

/// The part of a text drawn at (x, y) that can leave a mark on the surface, and where it starts.
struct VisibleText {
    QString text;
    double left = 0;
};

/// What of `text`, drawn with its baseline at (x, y) in the surface's current font, can be seen:
/// the whole text when it is short or lies within the surface; nothing when it lies wholly
/// beyond an edge.
std::optional<VisibleText> visiblePart(GraphicsImpl& d, std::string_view text, int32_t x,
                                       int32_t y);

/// Where a text of `width` with a font of `ascent` and `descent` is drawn that was asked for at
/// (x, y), its baseline at y, on a surface of `surfaceWidth` by `surfaceHeight`: moved in whole
/// pixels only as far as it takes to keep the text two pixels inside every edge.
QPoint placedInside(double width, double ascent, double descent, int32_t x, int32_t y,
                    int32_t surfaceWidth, int32_t surfaceHeight);

/// The width of `text` in the surface's current font: exact for a text as wide as the surface;
/// a wider one is laid out until it has passed the surface's width, and its rest counted at the
/// characters' plain advances, scaled as the part laid out.
double textWidth(GraphicsImpl& d, std::string_view text);

} // namespace platform::detail
