#pragma once

#include <vector>

class QAction;
class QMenu;

namespace platform {
class MenuBar;
class MenuItem;
} // namespace platform

namespace platform::detail {

struct MenuItemImpl {
    bool enabled = false;
    QAction* action = nullptr; ///< the item's action (a menu's own action for a menu)
    QMenu* menu = nullptr;     ///< for a menu: the drop-down
};

/// The bar's drop-down menus, built on first use; every window's menu bar shows these same
/// menus, so that the program has one set of items.
std::vector<QMenu*> qtMenus(MenuBar& bar);

/// Runs an item: the quit item ends the application, any other goes to the handler that the
/// frontmost document window bound to its name.
void dispatchMenuItem(MenuItem& item);

} // namespace platform::detail
