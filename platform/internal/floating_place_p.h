#pragma once

// The place of a floating tool window among the program's other windows (floating_place.cpp).

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

namespace platform::detail {

/// The top-left corner for a window of `size` inside `area`: `preferred`, moved inside the area
/// as far as the window fits there, when the window hides none of `controls` there, nor of
/// `drawings` unless `drawingsAllowedThere`; otherwise the place that hides the least of the
/// controls, then the least of the drawings, and then lies nearest `preferred`.
QPoint clearPlace(const QRect& area, const QSize& size, const QPoint& preferred,
                  const std::vector<QRect>& controls, const std::vector<QRect>& drawings,
                  bool drawingsAllowedThere = false);

/// How long a floating window that the user moves must stand still before it is placed.
inline constexpr int kUserMoveSettleMilliseconds = 250;

/// Watches the program's top-level windows and the work area, so that the floating windows are
/// placed again whenever a window is shown, hidden, moved, resized or maximised, or the work
/// area changes; a move of a floating window that the placement did not make is the user's,
/// and where it ends becomes that window's own place.
void watchPlacement();

/// Places every shown floating window that keeps to its corner again, once the event loop
/// gets to it; calls made before then come to one placement.
void placeFloatingWindowsSoon();

} // namespace platform::detail
