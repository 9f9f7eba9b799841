// A window's widgets: the top-level widget and its content area, whose toolkit events become
// the window's, and the state behind them.

#include "platform/internal/window_p.h"

#include "platform/application.h"
#include "platform/controls.h"
#include "platform/internal/canvas_p.h"
#include "platform/internal/control_p.h"
#include "platform/internal/runtime_p.h"
#include "platform/menu.h"
#include "platform/system.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <utility>

namespace platform::detail {

QImage shownImage(const QWidget* widget)
{
    return shownImage(widget, widget->rect());
}

QImage shownImage(const QWidget* widget, const QRect& area)
{
    const QWidget* top = widget->window();
    const QPoint at = widget->mapTo(top, area.topLeft());
    const QPixmap shown =
        top->screen()->grabWindow(top->winId(), at.x(), at.y(), area.width(), area.height());
    return shown.toImage().convertToFormat(QImage::Format_RGB32);
}

ContentWidget::ContentWidget(WindowImpl& window) : mWindow(window) {}

void ContentWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    mWindow.contentResized();
}

WindowWidget::WindowWidget(WindowImpl& window) : mWindow(window)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

bool WindowWidget::event(QEvent* event)
{
    // The toolkit paints the window's whole dirty region and flushes it while it handles this
    // request: a repaint asked for meanwhile waits until it is over, when it is known whether
    // the pass painted the control after the request.
    if (event->type() != QEvent::UpdateRequest || mWindow.painting)
        return QMainWindow::event(event);
    mWindow.painting = true;
    const bool handled = QMainWindow::event(event);
    mWindow.painting = false;
    mWindow.refreshAfterPass();
    return handled;
}

void WindowWidget::closeEvent(QCloseEvent* event)
{
    // The platform's close goes through Window::close, which runs the close event and then
    // deletes the window later; a window without a close box cannot be closed from outside.
    event->ignore();
    if (mWindow.closed || !mWindow.closeBox)
        return;
    Window* owner = mWindow.owner;
    runGuarded([owner] { owner->close(); });
}

void WindowWidget::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !mWindow.closed) {
        if (isActiveWindow())
            mWindow.activated();
        if (Application* app = Application::instance(); app && app->menuBar())
            app->menuBar()->updateEnabling();
    }
}

void WindowWidget::showEvent(QShowEvent* event)
{
    // A toolbar knows its height, captions included, only once it is polished for showing.
    if (mWindow.toolBar && !mWindow.resizable)
        mWindow.applySize();
    QMainWindow::showEvent(event);
    // The window manager adds the frame after the show; the move that this makes places the
    // window again (floating_place.cpp).
    if (mWindow.atBottomRight)
        mWindow.placeClear();
}

void WindowWidget::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && mWindow.defaultButton) {
        PushButton* button = mWindow.defaultButton;
        if (button->isEnabled() && button->isVisible()) {
            button->push();
            return;
        }
    }
    if (key == Qt::Key_Escape && mWindow.cancelButton) {
        PushButton* button = mWindow.cancelButton;
        if (button->isEnabled() && button->isVisible()) {
            button->push();
            return;
        }
    }
    // A modal window without a cancel button backs out on Escape as its close box does.
    if (key == Qt::Key_Escape && mWindow.modal && mWindow.closeBox && !mWindow.closed) {
        Window* owner = mWindow.owner;
        runGuarded([owner] { owner->close(); });
        return;
    }
    QMainWindow::keyPressEvent(event);
}

WindowImpl::WindowImpl(Window* o) : owner(o)
{
    widget = new WindowWidget(*this);
    content = new ContentWidget(*this);
    widget->setCentralWidget(content);
    widget->setWindowTitle(QStringLiteral("Untitled"));
}

WindowImpl::~WindowImpl()
{
    delete widget; // deletes the content area and every control's widget
    controls.clear();
}

void WindowImpl::applyFlags()
{
    Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    switch (kind) {
    case WindowKind::Document:
        flags |= Qt::Window;
        break;
    case WindowKind::MovableModal:
        flags |= Qt::Dialog;
        break;
    case WindowKind::Floating:
        flags |= Qt::Tool;
        break;
    }
    if (closeBox)
        flags |= Qt::WindowCloseButtonHint;
    if (minimiseBox)
        flags |= Qt::WindowMinimizeButtonHint;
    if (maximiseBox && resizable)
        flags |= Qt::WindowMaximizeButtonHint;
    widget->setWindowFlags(flags);
}

int WindowImpl::extraHeight() const
{
    int extra = 0;
    if (qMenuBar)
        extra += qMenuBar->sizeHint().height();
    if (toolBar)
        extra += toolBar->sizeHint().height();
    return extra;
}

void WindowImpl::applySize()
{
    const int extra = extraHeight();
    if (resizable) {
        widget->setMinimumSize(minSize.width(), minSize.height() + extra);
        widget->setMaximumSize(maxSize.width(), std::min(32000, maxSize.height() + extra));
        widget->resize(designSize.width(), designSize.height() + extra);
    } else {
        widget->setFixedSize(designSize.width(), designSize.height() + extra);
    }
    if (widget->layout())
        widget->layout()->activate();
    lastSize = content->size();
}

void WindowImpl::relayoutControls()
{
    for (auto& control : controls)
        control->impl().relayout();
}

void WindowImpl::orderTabStops()
{
    // The widget that takes the focus for each control that Tab stops at (an edit field hands
    // it to its line or text widget).
    std::vector<std::pair<const ControlImpl*, QWidget*>> stops;
    for (auto& control : controls) {
        QWidget* stop = control->impl().widget;
        while (stop && stop->focusProxy())
            stop = stop->focusProxy();
        if (stop && (stop->focusPolicy() & Qt::TabFocus))
            stops.emplace_back(&control->impl(), stop);
    }
    std::stable_sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) {
        return std::pair(a.first->design.top, a.first->design.left) <
               std::pair(b.first->design.top, b.first->design.left);
    });
    for (size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1].second, stops[i].second);
}

void WindowImpl::contentResized()
{
    relayoutControls();
    // The resize that the toolkit makes before a window is first shown is no change of size.
    if (!built || closed || !widget->isVisible())
        return;
    if (content->size() == lastSize)
        return;
    lastSize = content->size();
    Window* o = owner;
    runGuarded([o] { o->Event_Resized(); });
}

namespace {

void askRepaint(ControlImpl& c)
{
    c.repaintAsked = true;
    c.askedAt = latestPaint();
    if (auto* own = dynamic_cast<RepaintingWidget*>(c.widget))
        own->askRepaint();
    else
        c.widget->update();
}

} // namespace

void WindowImpl::refreshControl(Control* control)
{
    if (painting)
        refreshesInPass.emplace_back(control, latestPaint());
    else
        askRepaint(control->impl());
}

void WindowImpl::refreshControlNow(Control* control)
{
    QWidget* widget = control->impl().widget;
    if (painting || !widget->isVisible())
        refreshControl(control);
    else if (auto* own = dynamic_cast<RepaintingWidget*>(widget))
        own->repaintNow();
    else
        widget->repaint();
}

void WindowImpl::refreshAfterPass()
{
    const auto requests = std::exchange(refreshesInPass, {});
    for (const auto& [control, askedAt] : requests)
        if (control->impl().paintedAt <= askedAt)
            askRepaint(control->impl());
}

void WindowImpl::activated()
{
    noteActivated(owner);
    Window* o = owner;
    runGuarded([o] { o->Event_Activate(); });
}

} // namespace platform::detail
