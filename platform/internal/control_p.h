#pragma once

// What every control holds: its place in its window and its widget.

#include "platform/controls.h"
#include "platform/window.h"

#include <QRect>
#include <QSize>
#include <QWidget>

#include <string>

namespace platform::detail {

struct WindowImpl;

struct ControlContext {
    WindowImpl* window = nullptr;
    std::string name;
    Rect rect;
    unsigned locks = LockLeft | LockTop;
};

struct ControlImpl {
    ControlImpl(const ControlContext& context, Control* owner);

    /// Takes the control's widget (a child of the content area) and places it.
    void attach(QWidget* w);
    void relayout();

    WindowImpl* window;
    Control* owner;
    std::string name;
    Rect design;
    /// Where the layout puts the control now, by its edge locks; the widget may be drawn a
    /// little larger about that place when its content needs the room.
    QRect placed;
    QSize designParent;
    unsigned locks;
    QWidget* widget = nullptr;
    /// The number of the canvas paint that last started on this control (0: none).
    unsigned long paintedAt = 0;
    /// A repaint was asked for when the last paint was number `askedAt`: it is still to come
    /// while `paintedAt` is not later than that.
    bool repaintAsked = false;
    unsigned long askedAt = 0;
    /// How many threads drew the last paint of this canvas.
    int paintThreads = 0;
    /// How many of the drawing's operations the last paint took from a layer drawn before.
    size_t paintedFromLayer = 0;
};

/// The control's widget as the toolkit class its control made it.
template <class W> W* widgetOf(const Control& c)
{
    return static_cast<W*>(c.impl().widget);
}

/// The toolkit's alignment of a text: vertically centred, left unless told otherwise.
Qt::Alignment qtAlignment(Alignment a);

} // namespace platform::detail
