#include "platform/window.h"

#include "platform/application.h"
#include "platform/controls.h"
#include "platform/internal/graphics_p.h"
#include "platform/internal/menu_p.h"
#include "platform/internal/modal_p.h"
#include "platform/internal/picture_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/runtime_p.h"
#include "platform/internal/window_p.h"
#include "platform/menu.h"
#include "platform/picture.h"
#include "platform/system.h"

#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

#include <algorithm>
#include <cctype>
#include <cstdlib>
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
    if (mWindow.atBottomRight) {
        // The window manager adds the frame after the show: place it again when it has.
        WindowImpl* w = &mWindow;
        mWindow.placeAtBottomRight();
        for (int delay : {50, 300})
            QTimer::singleShot(delay, this, [w] { w->placeAtBottomRight(); });
    }
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

void WindowImpl::placeAtBottomRight()
{
    const QRect area(Screen::availableLeft(), Screen::availableTop(), Screen::availableWidth(),
                     Screen::availableHeight());
    const QRect frame = widget->frameGeometry();
    const int x = std::max(area.left(), area.left() + area.width() - frame.width());
    const int y = std::max(area.top(), area.top() + area.height() - frame.height());
    widget->move(x, y);
}

void WindowImpl::relayoutControls()
{
    for (auto& control : controls)
        control->impl().relayout();
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
unsigned long gPaints = 0;
} // namespace

unsigned long latestPaint()
{
    return gPaints;
}

unsigned long startPaint()
{
    return ++gPaints;
}

void WindowImpl::refreshControl(Control* control)
{
    if (painting)
        refreshesInPass.emplace_back(control, latestPaint());
    else
        control->impl().widget->update();
}

void WindowImpl::refreshAfterPass()
{
    const auto requests = std::exchange(refreshesInPass, {});
    for (const auto& [control, askedAt] : requests)
        if (control->impl().paintedAt <= askedAt)
            control->impl().widget->update();
}

void WindowImpl::activated()
{
    noteActivated(owner);
    Window* o = owner;
    runGuarded([o] { o->Event_Activate(); });
}

ControlImpl::ControlImpl(const ControlContext& context, Control* o)
    : window(context.window), owner(o), name(context.name), design(context.rect),
      designParent(context.window->designSize), locks(context.locks)
{
}

void ControlImpl::attach(QWidget* w)
{
    widget = w;
    widget->setObjectName(detail::qs(name));
    widget->setFont(programFont(12, false));
    relayout();
    widget->show();
}

void ControlImpl::relayout()
{
    if (!widget)
        return;
    const QSize parent = window->content->size();
    const int dw = parent.width() - designParent.width();
    const int dh = parent.height() - designParent.height();
    int x = design.left, y = design.top, w = design.width, h = design.height;
    const bool left = locks & LockLeft, right = locks & LockRight;
    const bool top = locks & LockTop, bottom = locks & LockBottom;
    if (right && left)
        w += dw;
    else if (right)
        x += dw;
    if (bottom && top)
        h += dh;
    else if (bottom)
        y += dh;
    placed = QRect(x, y, std::max(0, w), std::max(0, h));
    // The toolkit's fonts and sliders need more room than the layout's sizes gave on the
    // system they were made for: a label grows to show its whole text (away from the side it
    // is aligned to) and a slider to show its thumb, each about its place.
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        const int needed = label->sizeHint().width();
        if (needed > w) {
            const Qt::Alignment a = label->alignment();
            if (a & Qt::AlignRight)
                x -= needed - w;
            else if (a & Qt::AlignHCenter)
                x -= (needed - w) / 2;
            w = needed;
        }
    } else if (qobject_cast<QSlider*>(widget)) {
        const int needed = widget->minimumSizeHint().height();
        if (needed > h) {
            y -= (needed - h) / 2;
            h = needed;
        }
    }
    widget->setGeometry(x, y, std::max(0, w), std::max(0, h));
}

} // namespace detail

using detail::qs;
using detail::ss;

namespace {

// Brings a shown window to the front; the headless platform has no stacking to change.
void raiseWidget(QWidget* w)
{
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

// Makes the window manager keep the window above the frontmost window of the program.
void keepAboveDialogParent(QWidget* w)
{
    w->winId();
    QWidget* parent = detail::dialogParent();
    if (parent && parent != w)
        if (QWindow* handle = w->windowHandle())
            handle->setTransientParent(parent->windowHandle());
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
    Layout();
    d->applyFlags();
    d->applySize();
    CreateControls();
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
    d->placeAtBottomRight();
}
int32_t Window::frameHeight() const
{
    return d->widget->frameGeometry().height();
}

bool Window::isVisible() const
{
    return !d->closed && (d->pendingShow || d->widget->isVisible());
}

void Window::setVisible(bool visible)
{
    if (visible)
        show();
    else
        hide();
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
    if (d->closed)
        return;
    ModalRequest request;
    request.kind = ModalRequest::Kind::Window;
    request.title = title();
    request.window = this;
    const auto open = [this] {
        d->pendingShow = false;
        d->modal = true;
        d->widget->setWindowModality(Qt::ApplicationModal);
        keepAboveDialogParent(d->widget);
        d->widget->show();
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

const std::function<bool()>* Window::menuHandler(std::string_view itemName) const
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

void Window::addMenuHandler(std::string_view itemName, std::function<bool()> handler)
{
    d->menuHandlers.emplace_back(std::string(itemName), std::move(handler));
}

ContextualMenu* Window::addContextualMenu(std::string name)
{
    d->contextualMenus.push_back(std::make_unique<ContextualMenu>(std::move(name)));
    return d->contextualMenus.back().get();
}

ToolbarItem* Window::addToolbarItem(std::string name, std::string caption, std::string helpTag,
                                    const Picture* picture)
{
    if (!d->toolBar) {
        d->toolBar = new QToolBar(d->widget);
        d->toolBar->setMovable(false);
        d->toolBar->setFloatable(false);
        d->toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        d->toolBar->setIconSize(QSize(32, 32));
        d->toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
        d->widget->addToolBar(d->toolBar);
    }
    d->toolbarItems.push_back(std::make_unique<ToolbarItem>(std::move(name), caption));
    ToolbarItem* item = d->toolbarItems.back().get();
    QAction* action = d->toolBar->addAction(qs(caption));
    if (picture)
        action->setIcon(QIcon(QPixmap::fromImage(picture->impl().image)));
    action->setToolTip(qs(helpTag));
    QObject::connect(action, &QAction::triggered, d->widget, [item] { item->push(); });
    d->applySize(); // the toolbar is not part of the content area
    return item;
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
