// The control base: its place by its edge locks, its widget and what every control can do.

#include "platform/controls.h"

#include "platform/internal/control_p.h"
#include "platform/internal/graphics_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/window_p.h"

#include <QLabel>
#include <QSlider>

#include <algorithm>

namespace platform {

namespace detail {

Qt::Alignment qtAlignment(Alignment a)
{
    switch (a) {
    case Alignment::Left:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case Alignment::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case Alignment::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case Alignment::Default:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
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

Control::Control(const detail::ControlContext& context)
    : d(std::make_unique<detail::ControlImpl>(context, this))
{
}

Control::~Control() = default;

const std::string& Control::name() const
{
    return d->name;
}
Window& Control::window() const
{
    return *d->window->owner;
}
int32_t Control::left() const
{
    return d->placed.x();
}
int32_t Control::top() const
{
    return d->placed.y();
}
int32_t Control::width() const
{
    return d->placed.width();
}
int32_t Control::height() const
{
    return d->placed.height();
}

void Control::setPlace(Rect rect)
{
    d->design = rect;
    d->designParent = d->window->content->size();
    d->relayout();
}

bool Control::isVisible() const
{
    return !d->widget->isHidden();
}
void Control::setVisible(bool visible)
{
    d->widget->setVisible(visible);
}
bool Control::isEnabled() const
{
    return d->widget->isEnabled();
}
void Control::setEnabled(bool enabled)
{
    d->widget->setEnabled(enabled);
}
void Control::setFocus()
{
    d->widget->setFocus(Qt::OtherFocusReason);
}
bool Control::hasFocus() const
{
    return d->widget->hasFocus();
}
void Control::setHelpTag(std::string_view text)
{
    d->widget->setToolTip(qs(text));
}

void Control::setTextSize(double size)
{
    QFont f = d->widget->font();
    f.setPixelSize(std::max(1, static_cast<int>(size + 0.5)));
    d->widget->setFont(f);
}

void Control::refresh()
{
    d->window->refreshControl(this);
}

void Control::refreshNow()
{
    d->window->refreshControlNow(this);
}

} // namespace platform
