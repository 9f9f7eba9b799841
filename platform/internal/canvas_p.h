#pragma once

// The numbers of the canvas paints, by which a window learns whether a canvas was painted
// after a repaint was asked for; and the canvas's own way of repainting.

#include <QEvent>

namespace platform::detail {

/// The number of the latest canvas paint to start (0: none yet).
unsigned long latestPaint();
/// Numbers a canvas paint that starts now.
unsigned long startPaint();
/// Waits until every layer of kept lines that a canvas started drawing is drawn.
void awaitLayers();

/// The type of the event by which a canvas draws again what its control asked it to repaint.
QEvent::Type canvasDrawEvent();

/// A control's widget that repaints in a way of its own when its control asks.
class RepaintingWidget {
public:
    /// A repaint that runs later.
    virtual void askRepaint() = 0;
    /// A repaint that runs now.
    virtual void repaintNow() = 0;

protected:
    ~RepaintingWidget() = default;
};

} // namespace platform::detail
