#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

namespace detail {
struct MenuItemImpl;
}

/// A menu item, or a menu when it has children. Its name is the key by which windows bind
/// handlers to it and enable it. An item whose AutoEnable is set is always enabled; the others
/// are disabled whenever the menus are updated, unless the frontmost document window's
/// enable-menu-items event enables them.
class MenuItem {
public:
    enum class Role { Normal, Quit };

    MenuItem(std::string name, std::string text, std::string keyboardShortcut = {},
             bool autoEnable = false, Role role = Role::Normal);
    ~MenuItem();
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& name() const { return mName; }
    const std::string& text() const { return mText; }
    /// The shortcut as the program gives it: "Cmd+N" (the Command key is Ctrl here).
    const std::string& keyboardShortcut() const { return mShortcut; }
    bool autoEnable() const { return mAutoEnable; }
    Role role() const { return mRole; }
    bool isSeparator() const { return mText == "-"; }

    bool isEnabled() const;
    void setEnabled(bool enabled);

    /// Appends an item to this menu; returns it.
    MenuItem& append(std::unique_ptr<MenuItem> item);
    /// The direct child of that name, ignoring letter case; nullptr when there is none.
    MenuItem* child(std::string_view name) const;
    const std::vector<std::unique_ptr<MenuItem>>& children() const { return mChildren; }

    detail::MenuItemImpl& impl() const { return *d; }

private:
    std::string mName;
    std::string mText;
    std::string mShortcut;
    bool mAutoEnable;
    Role mRole;
    std::vector<std::unique_ptr<MenuItem>> mChildren;
    std::unique_ptr<detail::MenuItemImpl> d;
};

/// The one menu bar of the program: a single set of items that every document window which
/// installs it shows in a menu bar of its own.
class MenuBar {
public:
    MenuBar();
    virtual ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    MenuItem& append(std::unique_ptr<MenuItem> menu);
    /// The menu of that name, ignoring letter case.
    MenuItem* child(std::string_view name) const;
    /// The menu or item of that name anywhere in the bar, ignoring letter case.
    MenuItem* item(std::string_view name) const;
    const std::vector<std::unique_ptr<MenuItem>>& menus() const { return mMenus; }

    /// Disables every item that is not AutoEnable, enables the AutoEnable ones that something
    /// answers there (the quit item, or an item the frontmost document window binds a handler
    /// to), then runs that window's enable-menu-items event. The platform calls it whenever the
    /// active window changes and before a menu opens.
    void updateEnabling();

private:
    std::vector<std::unique_ptr<MenuItem>> mMenus;
};

/// A menu that pops up at the pointer, made by Window::addContextualMenu; it lives as long as
/// its window. Choosing a row runs onAction with the row's text.
class ContextualMenu {
public:
    explicit ContextualMenu(std::string name);
    ~ContextualMenu();

    const std::string& name() const { return mName; }
    void addRow(std::string text);
    const std::vector<std::string>& rows() const { return mRows; }
    /// Pops the menu up at the pointer and returns once it is dismissed.
    void open();

    std::function<void(const std::string&)> onAction;

private:
    std::string mName;
    std::vector<std::string> mRows;
};

} // namespace platform
