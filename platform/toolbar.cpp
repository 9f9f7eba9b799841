// A window's toolbar and its items.

#include "platform/toolbar.h"

#include "platform/application.h"
#include "platform/internal/picture_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/window_p.h"
#include "platform/picture.h"
#include "platform/window.h"

#include <QAction>
#include <QPixmap>
#include <QToolBar>

namespace platform {

using detail::qs;

ToolbarItem::ToolbarItem(std::string name, std::string caption)
    : mName(std::move(name)), mCaption(std::move(caption))
{
}

void ToolbarItem::push()
{
    runGuarded(onAction);
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

} // namespace platform
