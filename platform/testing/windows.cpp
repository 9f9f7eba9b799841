// The test seam's windows and input (windows.h): the program's windows worked as a person
// works them, through the toolkit's input path.

#include "platform/testing/windows.h"

#include "platform/application.h"
#include "platform/controls.h"
#include "platform/internal/canvas_p.h"
#include "platform/internal/control_p.h"
#include "platform/internal/floating_place_p.h"
#include "platform/internal/menu_p.h"
#include "platform/internal/picture_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/runtime_p.h"
#include "platform/internal/window_p.h"
#include "platform/menu.h"
#include "platform/picture.h"
#include "platform/system.h"

#include <QApplication>
#include <QHeaderView>
#include <QImageReader>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTableWidget>
#include <QTest>

namespace platform::testing {

namespace {

Qt::KeyboardModifiers toQt(unsigned modifiers)
{
    Qt::KeyboardModifiers m;
    if (modifiers & Command)
        m |= Qt::ControlModifier;
    if (modifiers & Shift)
        m |= Qt::ShiftModifier;
    return m;
}

Qt::MouseButton toQt(MouseButton b)
{
    return b == MouseButton::Right ? Qt::RightButton : Qt::LeftButton;
}

QWidget* widgetOf(Canvas& canvas)
{
    return canvas.impl().widget;
}

} // namespace

void processEvents()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    detail::flushDeletions();
}

void finishPaints()
{
    processEvents();
    // The layers that the paints started, so that the next change can use them.
    detail::awaitLayers();
    for (Window* w : detail::windowsInCreationOrder()) {
        if (w->impl().closed)
            continue;
        for (const auto& control : w->impl().controls) {
            detail::ControlImpl& c = control->impl();
            if (c.repaintAsked && c.paintedAt <= c.askedAt && c.widget->isVisible())
                c.widget->repaint();
        }
    }
    processEvents();
}

void destroyAllWindows()
{
    const std::vector<Window*> windows = detail::windowsInCreationOrder();
    for (Window* w : windows) {
        detail::WindowImpl& d = w->impl();
        if (!d.closed) {
            d.closed = true;
            d.pendingShow = false;
            if (d.forget)
                d.forget();
            d.widget->hide();
            detail::scheduleDelete(w);
        }
    }
    detail::flushDeletions(true);
    detail::runState() = {};
}

std::optional<ReadImage> readImageFile(const std::string& path)
{
    QImageReader reader(detail::qs(path));
    reader.setDecideFormatFromContent(true);
    const QString format = QString::fromLatin1(reader.format());
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    Picture pic(image.width(), image.height());
    pic.impl().flush();
    pic.impl().image = image.convertToFormat(QImage::Format_RGB32);
    return ReadImage{std::move(pic), detail::ss(format)};
}

Picture shownPixels(const Canvas& canvas)
{
    processEvents();
    const QWidget* w = canvas.impl().widget;
    Picture pic(w->width(), w->height());
    pic.impl().image = detail::shownImage(w);
    return pic;
}

int paintThreads(const Canvas& canvas)
{
    return canvas.impl().paintThreads;
}

size_t paintedFromLayer(const Canvas& canvas)
{
    return canvas.impl().paintedFromLayer;
}

void activate(Window& window)
{
    QWidget* w = window.impl().widget;
    if (!w->isVisible())
        window.show();
    w->activateWindow();
    (void)QTest::qWaitForWindowActive(w, 2000);
    processEvents();
}

void clickCloseBox(Window& window)
{
    window.impl().widget->close();
    processEvents();
}

void minimise(Window& window)
{
    QWidget* w = window.impl().widget;
    w->setWindowState(w->windowState() | Qt::WindowMinimized);
    processEvents();
}

void maximise(Window& window)
{
    QWidget* w = window.impl().widget;
    // The headless platform would fill a screen of its own, which need not be the size a test
    // gave: there the window's frame is made to fill the available area as a window manager's
    // maximising does.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        processEvents();
        return;
    }
    const QRect area(Screen::availableLeft(), Screen::availableTop(), Screen::availableWidth(),
                     Screen::availableHeight());
    const QRect frame = w->frameGeometry();
    const QRect client = w->geometry();
    w->setGeometry(area.adjusted(client.left() - frame.left(), client.top() - frame.top(),
                                 client.right() - frame.right(), client.bottom() - frame.bottom()));
    processEvents();
}

void moveAsUser(Window& window, int32_t left, int32_t top)
{
    window.impl().widget->move(left, top);
    processEvents();
    // The user has let go: the placement takes the window up once it has stood still.
    QTest::qWait(detail::kUserMoveSettleMilliseconds + 50);
    processEvents();
}

namespace {

Rect rectOf(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

} // namespace

Rect frameOnScreen(const Window& window)
{
    return rectOf(window.impl().widget->frameGeometry());
}

std::vector<std::pair<const Control*, Rect>> controlsOnScreen(const Window& window)
{
    std::vector<std::pair<const Control*, Rect>> shown;
    const detail::WindowImpl& d = window.impl();
    auto onScreen = [](const QWidget* w) {
        return rectOf(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()));
    };
    if (d.qMenuBar && d.qMenuBar->isVisible())
        shown.emplace_back(nullptr, onScreen(d.qMenuBar));
    for (const auto& control : d.controls)
        if (const QWidget* w = control->impl().widget; w && w->isVisible())
            shown.emplace_back(control.get(), onScreen(w));
    return shown;
}

bool isMinimised(const Window& window)
{
    return (window.impl().widget->windowState() & Qt::WindowMinimized) != 0;
}

void mousePress(Canvas& canvas, int32_t x, int32_t y, unsigned modifiers, MouseButton button)
{
    QTest::mousePress(widgetOf(canvas), toQt(button), toQt(modifiers), QPoint(x, y));
}

void mouseMove(Canvas& canvas, int32_t x, int32_t y, unsigned modifiers)
{
    // QTest's move carries no modifiers; a move event of our own does.
    QWidget* w = widgetOf(canvas);
    QMouseEvent move(QEvent::MouseMove, QPointF(x, y), QPointF(w->mapToGlobal(QPoint(x, y))),
                     Qt::NoButton, QApplication::mouseButtons(), toQt(modifiers));
    QApplication::sendEvent(w, &move);
}

void mouseRelease(Canvas& canvas, int32_t x, int32_t y, unsigned modifiers, MouseButton button)
{
    QTest::mouseRelease(widgetOf(canvas), toQt(button), toQt(modifiers), QPoint(x, y));
}

void typeKey(Window& window, const std::string& key)
{
    // The window's focus widget, also while the window is not the active one.
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != window.impl().widget)
        target = window.impl().widget->focusWidget();
    if (!target)
        target = window.impl().widget;
    const QKeySequence sequence(detail::qs(key), QKeySequence::PortableText);
    if (sequence.isEmpty())
        return;
    const QKeyCombination combination = sequence[0];
    QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
}

void doubleClickRow(ListBox& list, int32_t row)
{
    auto* table = static_cast<QTableWidget*>(list.impl().widget);
    QPoint at(5, table->viewport()->height() - 2);
    if (row >= 0 && row < table->rowCount()) {
        // A row out of sight is scrolled to first, as the person does.
        const QModelIndex index = table->model()->index(row, 0);
        table->scrollTo(index);
        QCoreApplication::processEvents();
        at = table->visualRect(index).center();
    }
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
}

void clickHeading(ListBox& list, int32_t column)
{
    auto* table = static_cast<QTableWidget*>(list.impl().widget);
    QHeaderView* header = table->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

bool chooseMenuItem(const std::string& name)
{
    Application* app = Application::instance();
    if (!app || !app->menuBar())
        return false;
    MenuBar* bar = app->menuBar();
    bar->updateEnabling();
    MenuItem* item = bar->item(name);
    if (!item || !item->isEnabled())
        return false;
    detail::dispatchMenuItem(*item);
    return true;
}

namespace {

std::vector<std::string> gWarnings;
QtMessageHandler gPassOn = nullptr;

void recordWarning(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        gWarnings.push_back(detail::ss(message));
    if (gPassOn)
        gPassOn(type, context, message);
}

} // namespace

ToolkitWarnings::ToolkitWarnings()
{
    gWarnings.clear();
    gPassOn = qInstallMessageHandler(recordWarning);
}

ToolkitWarnings::~ToolkitWarnings()
{
    qInstallMessageHandler(gPassOn);
    gPassOn = nullptr;
}

const std::vector<std::string>& ToolkitWarnings::messages() const
{
    return gWarnings;
}

} // namespace platform::testing
