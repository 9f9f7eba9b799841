#include "platform/system.h"

#include "platform/internal/system_p.h"

#include <QGuiApplication>
#include <QScreen>

#include <optional>

namespace platform {

namespace {

std::optional<QSize>& screenOverride()
{
    static std::optional<QSize> size;
    return size;
}

QRect screenGeometry()
{
    if (screenOverride())
        return QRect(QPoint(0, 0), *screenOverride());
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

QRect availableGeometry()
{
    if (screenOverride())
        return QRect(QPoint(0, 0), *screenOverride());
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace

void detail::setScreenOverride(int32_t width, int32_t height)
{
    screenOverride() = QSize(width, height);
}

bool Keyboard::AsyncCommandKey()
{
    return QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier;
}

bool Keyboard::AsyncShiftKey()
{
    return QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
}

int32_t Screen::width()
{
    return screenGeometry().width();
}
int32_t Screen::availableLeft()
{
    return availableGeometry().left();
}
int32_t Screen::availableTop()
{
    return availableGeometry().top();
}
int32_t Screen::availableWidth()
{
    return availableGeometry().width();
}
int32_t Screen::availableHeight()
{
    return availableGeometry().height();
}

} // namespace platform
