#include "platform/menu.h"

#include "platform/application.h"
#include "platform/internal/menu_p.h"
#include "platform/internal/modal_p.h"
#include "platform/internal/qt_util.h"
#include "platform/internal/window_p.h"
#include "platform/window.h"

#include <QAction>
#include <QCursor>
#include <QKeySequence>
#include <QMenu>

namespace platform {
namespace detail {

namespace {

// "Cmd+N" in the program's terms; the Command key is Ctrl here.
QKeySequence toKeySequence(const std::string& shortcut)
{
    QString s = qs(shortcut);
    s.replace(QStringLiteral("Cmd+"), QStringLiteral("Ctrl+"), Qt::CaseInsensitive);
    return QKeySequence(s, QKeySequence::PortableText);
}

void buildItem(MenuItem& item, QMenu* parent)
{
    MenuItemImpl& d = item.impl();
    if (item.isSeparator()) {
        d.action = parent->addSeparator();
        return;
    }
    d.action = parent->addAction(qs(item.text()));
    if (!item.keyboardShortcut().empty()) {
        d.action->setShortcut(toKeySequence(item.keyboardShortcut()));
        // Shortcuts reach the frontmost document window from any window of the program, also a
        // floating one; a modal dialog blocks them.
        d.action->setShortcutContext(Qt::ApplicationShortcut);
    }
    if (item.role() == MenuItem::Role::Quit)
        d.action->setMenuRole(QAction::QuitRole);
    d.action->setEnabled(d.enabled);
    MenuItem* raw = &item;
    QObject::connect(d.action, &QAction::triggered, d.action, [raw] { dispatchMenuItem(*raw); });
}

} // namespace

std::vector<QMenu*> qtMenus(MenuBar& bar)
{
    std::vector<QMenu*> menus;
    for (const auto& menuItem : bar.menus()) {
        MenuItemImpl& d = menuItem->impl();
        if (!d.menu) {
            d.menu = new QMenu(qs(menuItem->text()));
            d.action = d.menu->menuAction();
            for (const auto& child : menuItem->children())
                buildItem(*child, d.menu);
            MenuBar* raw = &bar;
            QObject::connect(d.menu, &QMenu::aboutToShow, d.menu, [raw] { raw->updateEnabling(); });
        }
        menus.push_back(d.menu);
    }
    return menus;
}

void dispatchMenuItem(MenuItem& item)
{
    if (!item.isEnabled())
        return;
    if (item.role() == MenuItem::Role::Quit) {
        Application::quitByClosingWindows();
        return;
    }
    Window* front = frontmostWindow();
    if (!front)
        return;
    if (const std::function<void()>* handler = front->menuHandler(item.name()))
        runGuarded(*handler);
}

} // namespace detail

MenuItem::MenuItem(std::string name, std::string text, std::string keyboardShortcut,
                   bool autoEnable, Role role)
    : mName(std::move(name)), mText(std::move(text)), mShortcut(std::move(keyboardShortcut)),
      mAutoEnable(autoEnable), mRole(role), d(std::make_unique<detail::MenuItemImpl>())
{
    d->enabled = autoEnable;
}

MenuItem::~MenuItem()
{
    // The menus are parentless; a menu deletes the actions of its items with itself.
    delete d->menu;
}

bool MenuItem::isEnabled() const
{
    return d->enabled;
}

void MenuItem::setEnabled(bool enabled)
{
    d->enabled = enabled;
    if (d->action && !d->menu)
        d->action->setEnabled(enabled);
}

MenuItem& MenuItem::append(std::unique_ptr<MenuItem> item)
{
    mChildren.push_back(std::move(item));
    return *mChildren.back();
}

namespace {

// The item of that name among `items`, ignoring letter case; nullptr when there is none.
MenuItem* findByName(const std::vector<std::unique_ptr<MenuItem>>& items, std::string_view name)
{
    for (const auto& item : items)
        if (detail::equalsIgnoringCase(item->name(), name))
            return item.get();
    return nullptr;
}

} // namespace

MenuItem* MenuItem::child(std::string_view name) const
{
    return findByName(mChildren, name);
}

MenuBar::MenuBar() = default;
MenuBar::~MenuBar() = default;

MenuItem& MenuBar::append(std::unique_ptr<MenuItem> menu)
{
    mMenus.push_back(std::move(menu));
    return *mMenus.back();
}

MenuItem* MenuBar::child(std::string_view name) const
{
    return findByName(mMenus, name);
}

MenuItem* MenuBar::item(std::string_view name) const
{
    for (const auto& m : mMenus) {
        if (detail::equalsIgnoringCase(m->name(), name))
            return m.get();
        if (MenuItem* found = m->child(name))
            return found;
    }
    return nullptr;
}

void MenuBar::updateEnabling()
{
    // An item enables itself only where something answers it: the quit item everywhere, any
    // other only in a window that handles it, so that no enabled item does nothing.
    Window* front = frontmostWindow();
    for (const auto& m : mMenus)
        for (const auto& item : m->children()) {
            const bool answered =
                item->role() == MenuItem::Role::Quit || (front && front->menuHandler(item->name()));
            item->setEnabled(item->autoEnable() && answered);
        }
    if (front)
        runGuarded([front] { front->Event_EnableMenuItems(); });
}

using detail::qs;

ContextualMenu::ContextualMenu(std::string name) : mName(std::move(name)) {}
ContextualMenu::~ContextualMenu() = default;

void ContextualMenu::addRow(std::string text)
{
    mRows.push_back(std::move(text));
}

void ContextualMenu::open()
{
    ModalRequest request;
    request.kind = ModalRequest::Kind::ContextualMenu;
    request.buttons = mRows;
    const auto answer = detail::runModal(request, [this] {
        QMenu menu;
        for (const std::string& row : mRows)
            menu.addAction(qs(row));
        QAction* picked = menu.exec(QCursor::pos());
        return picked ? ModalAnswer::button(static_cast<int>(menu.actions().indexOf(picked)))
                      : ModalAnswer::cancel();
    });
    const int chosen = answer ? answer->choice : -1;
    if (chosen >= 0 && chosen < static_cast<int>(mRows.size()) && onAction) {
        const std::string row = mRows[static_cast<size_t>(chosen)];
        auto handler = onAction;
        runGuarded([handler, row] { handler(row); });
    }
}

} // namespace platform
