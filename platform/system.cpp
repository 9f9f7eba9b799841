#include "platform/system.h"

#include "platform/internal/services_p.h"

#include <QGuiApplication>

namespace platform {

namespace {

QRect screenGeometry()
{
    return detail::services().screenGeometry();
}

QRect availableGeometry()
{
    return detail::services().availableGeometry();
}

} // namespace

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
