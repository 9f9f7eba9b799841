#pragma once

// The numbers of the canvas paints, by which a window learns whether a canvas was painted
// after a repaint was asked for.

namespace platform::detail {

/// The number of the latest canvas paint to start (0: none yet).
unsigned long latestPaint();
/// Numbers a canvas paint that starts now.
unsigned long startPaint();

} // namespace platform::detail
