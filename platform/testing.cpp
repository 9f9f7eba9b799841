// Input injection and window control for tests: linked into the test programs only.

#include "platform/testing.h"

#include "platform/application.h"
#include "platform/controls.h"
#include "platform/internal/menu_p.h"
#include "platform/internal/modal_p.h"
#include "platform/internal/picture_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/runtime_p.h"
#include "platform/internal/system_p.h"
#include "platform/internal/window_p.h"
#include "platform/menu.h"
#include "platform/picture.h"
#include "platform/values.h"
#include "platform/window.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
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

void setModalHandler(ModalHandler handler)
{
    detail::modalHandler() = std::move(handler);
}

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
    detail::clearQuitRequest();
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
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != window.impl().widget)
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
    if (row >= 0 && row < table->rowCount())
        at = table->visualRect(table->model()->index(row, 0)).center();
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

void seedRandom(unsigned long seed)
{
    platform::randomEngine().seed(seed);
}

void setScreenSize(int32_t width, int32_t height)
{
    detail::setScreenOverride(width, height);
}

} // namespace platform::testing
