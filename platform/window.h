#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class Control;
class ContextualMenu;
class MenuBar;
class MenuItem;
class Picture;
class PushButton;
class ToolbarItem;

namespace detail {
struct WindowImpl;
struct ControlContext;
} // namespace detail

/// Position and size of a control in its window, in pixels.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

/// The edges of its window that a control keeps its distance to when the window is resized.
/// A control locked to neither the left nor the right edge keeps its left position; likewise
/// for top and bottom.
enum Lock : unsigned {
    LockNone = 0,
    LockLeft = 1,
    LockTop = 2,
    LockRight = 4,
    LockBottom = 8,
    LockAll = LockLeft | LockTop | LockRight | LockBottom,
};

enum class WindowKind {
    Document,     ///< an ordinary window; the one kind that can be the frontmost window
    MovableModal, ///< a dialog, always shown modally
    Floating,     ///< a small window that floats above the others
};

/// A window of the program. Each window class has one instance, reached by its accessor
/// (see WindowClass). The first reference builds it: Layout, CreateControls,
/// AddMenuHandlers, then its open event, all before the reference returns. The window shows
/// itself once control is back in an event loop, or before the next modal run.
///
/// Sizes and positions are those of the content area: a menu bar or toolbar is not part
/// of it.
class Window {
public:
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    std::string title() const;
    void setTitle(std::string_view title);

    int32_t left() const;
    int32_t top() const;
    void setLeft(int32_t left);
    void setTop(int32_t top);
    int32_t width() const;
    int32_t height() const;
    void setSize(int32_t width, int32_t height);
    /// Width and height of the whole window with its frame, as far as the platform knows it.
    int32_t frameWidth() const;
    int32_t frameHeight() const;
    /// Makes the bottom right corner of the screen's available area the place of a floating
    /// window, frame and all, where it stays while it hides no control of the program's other
    /// windows. Every floating window keeps clear of them so (another's own place is where it
    /// first stood): where it would hide one, it goes to the nearest place that hides none
    /// (lying over a window's drawing rather than its controls where it must). It is placed
    /// again whenever a window of the program is shown, hidden, moved, resized or maximised,
    /// and once its frame is known, until the user moves it: then it stays where the user put
    /// it, and a window the program shows later steps aside from it instead.
    void moveToBottomRightOfScreen();

    bool isVisible() const;

    /// Makes the window visible and brings it to the front.
    void show();
    void hide();
    /// Closes the window for good: runs its close event, then the window is gone and the next
    /// reference to its class builds a fresh one. Nothing happens when Event_CancelClose keeps
    /// the window open.
    void close();
    bool isClosed() const;
    /// Requests a repaint of the whole window; it runs later.
    void refresh();
    /// Shows the window modally and runs a nested event loop until it closes or hides.
    void showModal();
    /// As showModal(), over `owner`, the window it belongs to: it opens centred over that
    /// window (within the screen) and the window system keeps it above that window.
    void showModal(Window& owner);
    bool isModal() const;

    /// The window's events; a window class overrides what it handles.
    virtual void Event_Open() {}
    /// Runs before the close event, whoever closes the window; returning true keeps it open.
    virtual bool Event_CancelClose() { return false; }
    virtual void Event_Close() {}
    /// Runs only after a real change of the content size, never before the first show.
    virtual void Event_Resized() {}
    virtual void Event_Activate() {}
    virtual void Event_EnableMenuItems() {}

    /// The menu item of that name in the menu bar this window installed (or the program's).
    MenuItem* menuItem(std::string_view name) const;
    /// The handler this window bound to a menu item name (ignoring letter case), or nullptr.
    const std::function<void()>* menuHandler(std::string_view itemName) const;
    WindowKind kind() const;

    detail::WindowImpl& impl() const { return *d; }

protected:
    Window();

    // The window's own layout and set-up, run by the platform when it builds the window.
    virtual void Layout() = 0;
    virtual void CreateControls() {}
    virtual void AddMenuHandlers() {}

    void setKind(WindowKind kind);
    void setResizable(bool resizable);
    void setMinimumSize(int32_t width, int32_t height);
    void setMaximumSize(int32_t width, int32_t height);
    void setTitleBarButtons(bool closeBox, bool minimiseBox, bool maximiseBox);
    /// Installs the program's menu bar in this window.
    void setMenuBar(MenuBar& bar);
    /// Return and Enter press this button while it is enabled and visible.
    void setDefaultButton(PushButton* button);
    /// Escape presses this button. In a window shown modally that has none, Escape closes the
    /// window as its close box does (when it has one).
    void setCancelButton(PushButton* button);

    /// Binds a handler to the menu item of that name (ignoring letter case); throws
    /// std::logic_error when the window's menu bar has no such item.
    void addMenuHandler(std::string_view itemName, std::function<void()> handler);

    /// Creates a control of type C with its name, place and edge locks.
    template <class C>
    C* addControl(std::string name, Rect rect, unsigned locks = LockLeft | LockTop)
    {
        auto control = std::unique_ptr<C>(new C(controlContext(std::move(name), rect, locks)));
        C* raw = control.get();
        adoptControl(std::move(control));
        return raw;
    }
    ContextualMenu* addContextualMenu(std::string name);
    ToolbarItem* addToolbarItem(std::string name, std::string caption, std::string helpTag,
                                const Picture* picture);

private:
    template <class T> friend class WindowClass;
    friend struct detail::WindowImpl;

    void build(std::function<void()> forget);
    void showModalOver(Window* owner);
    const detail::ControlContext& controlContext(std::string name, Rect rect, unsigned locks);
    void adoptControl(std::unique_ptr<Control> control);

    std::unique_ptr<detail::WindowImpl> d;
};

/// The single instance of a window class T (which derives from WindowClass<T>).
template <class T> class WindowClass : public Window {
public:
    /// The instance; builds it, running its open event, when there is none.
    static T& instance()
    {
        if (!slot()) {
            T* window = new T();
            slot() = window;
            window->build([] { slot() = nullptr; });
        }
        return *slot();
    }
    /// Whether an instance exists; builds nothing.
    static bool exists() { return slot() != nullptr; }

private:
    static T*& slot()
    {
        static T* instance = nullptr;
        return instance;
    }
};

/// The open windows, oldest first.
std::vector<Window*> openWindows();
/// The frontmost document window: floating windows and windows shown modally never count.
Window* frontmostWindow();

} // namespace platform
