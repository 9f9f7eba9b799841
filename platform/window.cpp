// The program's windows: building one, showing it (modally too), closing it, and what the
// window system must be told to keep it above the right windows.

#include "platform/window.h"

#include "platform/application.h"
#include "platform/controls.h"
#include "platform/internal/floating_place_p.h"
#include "platform/internal/menu_p.h"
#include "platform/internal/modal_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/runtime_p.h"
#include "platform/internal/window_p.h"
#include "platform/menu.h"
#include "platform/system.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace platform {
namespace detail {

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Puts the window, frame and all, centred over `owner`'s frame, within the screen's available
// area. Before its first show a window's frame is not known: it is taken to be as thick as
// the owner's.
void centreOver(QWidget* w, const QWidget* owner)
{
    const QRect ownerFrame = owner->frameGeometry();
    QSize frame = w->frameGeometry().size();
    if (frame == w->size())
        frame = w->size() + (ownerFrame.size() - owner->size());
    const QRect area(Screen::availableLeft(), Screen::availableTop(), Screen::availableWidth(),
                     Screen::availableHeight());
    const QPoint centred = ownerFrame.center() - QPoint(frame.width() / 2, frame.height() / 2);
    const int x = std::min(centred.x(), area.left() + area.width() - frame.width());
    const int y = std::min(centred.y(), area.top() + area.height() - frame.height());
    w->move(std::max(x, area.left()), std::max(y, area.top()));
}

} // namespace detail

using detail::qs;
using detail::ss;

namespace {

// Brings a shown window to the front; the headless platform has no stacking to change. A
// minimised window is restored first (kept maximised or full-screen if it was): raised while
// iconic, it would stay out of sight.
void raiseWidget(QWidget* w)
{
    if (w->windowState() & Qt::WindowMinimized)
        w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    static const bool headless = QGuiApplication::platformName() == QLatin1String("offscreen");
    if (!headless)
        w->raise();
    w->activateWindow();
}

// Makes the window manager keep a shown floating window above every window of the program,
// and only those. A window transient for the root window is transient for its whole group
// (the window-manager conventions for X11); the toolkit itself names its hidden group leader,
// which window managers need not honour, so the property is written again after each show.
void keepAboveProgram(QWidget* w)
{
#if QT_CONFIG(xcb)
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t* connection = x11->connection();
    const auto window = static_cast<xcb_window_t>(w->winId());
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
    if (!tree)
        return;
    const xcb_window_t root = tree->root;
    std::free(tree);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_TRANSIENT_FOR,
                        XCB_ATOM_WINDOW, 32, 1, &root);
    xcb_flush(connection);
#else
    Q_UNUSED(w);
#endif
}

// Makes the window manager keep the window above `parent`: by default the frontmost window of
// the program.
void keepAbove(QWidget* w, QWidget* parent = detail::dialogParent())
{
    w->winId();
    if (parent && parent != w)
        if (QWindow* handle = w->windowHandle())
            handle->setTransientParent(parent->windowHandle());
}

// Makes the window manager keep a shown window above the window `owner` belongs to. The
// toolkit names a transient parent to the window manager only for windows of a dialog's kind,
// so the property is written for the others too, after each show.
void keepAboveOwner(QWidget* w, QWidget* owner)
{
#if QT_CONFIG(xcb)
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    const auto window = static_cast<xcb_window_t>(w->winId());
    const auto parent = static_cast<xcb_window_t>(owner->winId());
    xcb_change_property(x11->connection(), XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_TRANSIENT_FOR,
                        XCB_ATOM_WINDOW, 32, 1, &parent);
    xcb_flush(x11->connection());
#else
    Q_UNUSED(w);
    Q_UNUSED(owner);
#endif
}

} // namespace

Window::Window() : d(std::make_unique<detail::WindowImpl>(this))
{
    detail::registerWindow(this);
}

Window::~Window()
{
    detail::unregisterWindow(this);
}

void Window::build(std::function<void()> forget)
{
    d->forget = std::move(forget);
    detail::watchPlacement();
    Layout();
    d->applyFlags();
    d->applySize();
    CreateControls();
    d->orderTabStops();
    AddMenuHandlers();
    d->built = true;
    // Shown once control returns to an event loop (or before the next modal run), so that the
    // open event and the caller's set-up come first.
    d->pendingShow = true;
    QTimer::singleShot(0, d->widget, [this] {
        if (d->pendingShow)
            show();
    });
    Event_Open();
}

std::string Window::title() const
{
    return ss(d->widget->windowTitle());
}
void Window::setTitle(std::string_view title)
{
    d->widget->setWindowTitle(qs(title));
}
int32_t Window::left() const
{
    return d->widget->pos().x();
}
int32_t Window::top() const
{
    return d->widget->pos().y();
}
void Window::setLeft(int32_t left)
{
    d->widget->move(left, d->widget->pos().y());
}
void Window::setTop(int32_t top)
{
    d->widget->move(d->widget->pos().x(), top);
}
int32_t Window::width() const
{
    return d->content->width();
}
int32_t Window::height() const
{
    return d->content->height();
}

void Window::setSize(int32_t width, int32_t height)
{
    d->designSize = QSize(width, height);
    if (!d->built) {
        // Controls are placed against the size the layout gives.
        d->applySize();
        return;
    }
    const int extra = d->extraHeight();
    if (d->resizable)
        d->widget->resize(width, height + extra);
    else
        d->widget->setFixedSize(width, height + extra);
}

int32_t Window::frameWidth() const
{
    return d->widget->frameGeometry().width();
}

void Window::moveToBottomRightOfScreen()
{
    d->atBottomRight = true;
    d->userPlaced = false;
    d->userPlace.reset();
    detail::watchPlacement();
    d->placeClear();
}
int32_t Window::frameHeight() const
{
    return d->widget->frameGeometry().height();
}

bool Window::isVisible() const
{
    return !d->closed && (d->pendingShow || d->widget->isVisible());
}

void Window::show()
{
    if (d->closed)
        return;
    d->pendingShow = false;
    const bool showing = !d->widget->isVisible();
    d->widget->show();
    // A floating window stays above the program's other windows, whichever is in front.
    if (d->kind == WindowKind::Floating && showing)
        keepAboveProgram(d->widget);
    raiseWidget(d->widget);
    d->everShown = true;
    if (d->kind == WindowKind::Document)
        detail::noteActivated(this);
}

void Window::hide()
{
    d->pendingShow = false;
    d->widget->hide();
    if (d->modalLoop)
        d->modalLoop->exit();
}

void Window::close()
{
    if (d->closed || d->closing)
        return;
    d->closing = true;
    if (Event_CancelClose()) {
        d->closing = false;
        return;
    }
    Event_Close();
    d->closed = true;
    d->pendingShow = false;
    if (d->forget)
        d->forget();
    d->widget->hide();
    if (d->modalLoop)
        d->modalLoop->exit();
    detail::scheduleDelete(this);
}

bool Window::isClosed() const
{
    return d->closed;
}

void Window::refresh()
{
    // What the program draws is on its canvases; the toolkit's own controls repaint themselves
    // whenever what they show changes. So the window's repaint is a repaint of each canvas,
    // and the rest of the window is not painted again to show the same pixels.
    for (auto& control : d->controls)
        if (dynamic_cast<Canvas*>(control.get()))
            control->refresh();
}

void Window::showModal()
{
    showModalOver(nullptr);
}

void Window::showModal(Window& owner)
{
    showModalOver(&owner);
}

void Window::showModalOver(Window* owner)
{
    if (d->closed)
        return;
    ModalRequest request;
    request.kind = ModalRequest::Kind::Window;
    request.title = title();
    request.window = this;
    QWidget* ownerWidget =
        owner && owner != this && !owner->isClosed() ? owner->d->widget : nullptr;
    const auto open = [this, ownerWidget] {
        d->pendingShow = false;
        d->modal = true;
        d->widget->setWindowModality(Qt::ApplicationModal);
        if (ownerWidget) {
            detail::centreOver(d->widget, ownerWidget);
            keepAbove(d->widget, ownerWidget);
        } else {
            keepAbove(d->widget);
        }
        d->widget->show();
        if (ownerWidget)
            keepAboveOwner(d->widget, ownerWidget);
        raiseWidget(d->widget);
        d->everShown = true;
    };
    // The person's run lasts until the window hides or closes.
    const auto show = [this] {
        if (d->widget->isVisible()) {
            QEventLoop loop;
            d->modalLoop = &loop;
            loop.exec(QEventLoop::DialogExec);
            d->modalLoop = nullptr;
        }
        return ModalAnswer::ok();
    };
    if (!detail::runModal(request, show, open))
        return; // the program is ending: nothing was shown
    d->modal = false;
    if (!d->closed && !d->widget->isVisible())
        d->widget->setWindowModality(Qt::NonModal);
}

bool Window::isModal() const
{
    return d->modal;
}

MenuItem* Window::menuItem(std::string_view name) const
{
    MenuBar* bar = d->menuBar;
    if (!bar && Application::instance())
        bar = Application::instance()->menuBar();
    return bar ? bar->item(name) : nullptr;
}

const std::function<void()>* Window::menuHandler(std::string_view itemName) const
{
    for (const auto& [name, handler] : d->menuHandlers)
        if (detail::equalsIgnoringCase(name, itemName))
            return &handler;
    return nullptr;
}

WindowKind Window::kind() const
{
    return d->kind;
}

void Window::setKind(WindowKind kind)
{
    d->kind = kind;
}
void Window::setResizable(bool resizable)
{
    d->resizable = resizable;
}
void Window::setMinimumSize(int32_t w, int32_t h)
{
    d->minSize = QSize(w, h);
}
void Window::setMaximumSize(int32_t w, int32_t h)
{
    d->maxSize = QSize(w, h);
}

void Window::setTitleBarButtons(bool closeBox, bool minimiseBox, bool maximiseBox)
{
    d->closeBox = closeBox;
    d->minimiseBox = minimiseBox;
    d->maximiseBox = maximiseBox;
}

void Window::setMenuBar(MenuBar& bar)
{
    d->menuBar = &bar;
    if (!d->qMenuBar) {
        d->qMenuBar = new QMenuBar(d->widget);
        for (QMenu* menu : detail::qtMenus(bar))
            d->qMenuBar->addMenu(menu);
        d->widget->setMenuBar(d->qMenuBar);
    }
}

void Window::setDefaultButton(PushButton* button)
{
    d->defaultButton = button;
    if (button)
        if (auto* qb = qobject_cast<QPushButton*>(button->impl().widget))
            qb->setDefault(true);
}

void Window::setCancelButton(PushButton* button)
{
    d->cancelButton = button;
}

void Window::addMenuHandler(std::string_view itemName, std::function<void()> handler)
{
    // A handler bound to a name that no item has would never run: a slip in the name, which
    // must not wait for a user to find that the command does nothing.
    if (!menuItem(itemName))
        throw std::logic_error("no menu item is named \"" + std::string(itemName) +
                               "\" to bind a handler to");
    d->menuHandlers.emplace_back(std::string(itemName), std::move(handler));
}

ContextualMenu* Window::addContextualMenu(std::string name)
{
    d->contextualMenus.push_back(std::make_unique<ContextualMenu>(std::move(name)));
    return d->contextualMenus.back().get();
}

const detail::ControlContext& Window::controlContext(std::string name, Rect rect, unsigned locks)
{
    d->pendingContext = detail::ControlContext{d.get(), std::move(name), rect, locks};
    return d->pendingContext;
}

void Window::adoptControl(std::unique_ptr<Control> control)
{
    d->controls.push_back(std::move(control));
}

std::vector<Window*> openWindows()
{
    std::vector<Window*> out;
    for (Window* w : detail::windowsInCreationOrder())
        if (!w->isClosed())
            out.push_back(w);
    return out;
}

Window* frontmostWindow()
{
    for (Window* w : detail::windowsByActivation())
        if (!w->isClosed() && w->kind() == WindowKind::Document && !w->isModal() && w->isVisible())
            return w;
    return nullptr;
}

} // namespace platform