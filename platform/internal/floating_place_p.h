#pragma once

// The place of a floating tool window among the program's other windows (floating_place.cpp).

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

namespace platform::detail {

/// The top-left corner for a window of `size` inside `area`: `preferred` when the window hides
/// none of `controls` and `drawings` there; otherwise the place that hides the least of the
/// controls, then the least of the drawings, and then lies nearest `preferred`.
QPoint clearPlace(const QRect& area, const QSize& size, const QPoint& preferred,
                  const std::vector<QRect>& controls, const std::vector<QRect>& drawings);

/// Watches the program's top-level windows, so that the floating windows are placed again
/// whenever one of them is shown, hidden, moved, resized or maximised, and a move of a
/// floating window that the placement did not make is known as the user's.
void watchPlacement();

/// Places every shown floating window that keeps to its corner again, once the event loop
/// gets to it; calls made before then come to one placement.
void placeFloatingWindowsSoon();

} // namespace platform::detail
