#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

class MenuBar;

/// The application object: the toolkit, the program's font and the event loop. One exists
/// for the life of the process; create it before any window.
class Application {
public:
    /// `name` is the program's name as the person sees it: the title of its message boxes, the
    /// name it gives the window system, and the name its report of an unexpected error gives.
    explicit Application(std::string name);
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* instance();
    const std::string& name() const { return mName; }

    /// The menu bar that windows install; the quit item's role is handled here.
    void setMenuBar(MenuBar& bar);
    MenuBar* menuBar() const;

    /// Runs `startup` (which builds the main window and runs its open event), then the event
    /// loop until the program quits. An exception that no handler caught is reported and
    /// ends the run. Returns the exit status.
    int run(const std::function<void()>& startup);

    /// Ends the event loop with this exit status once control returns to it.
    static void quit(int exitCode = 0);
    static bool quitRequested();

    /// Ends the application as the quit item does: closes the windows, oldest first, until one
    /// of their close events quits.
    static void quitByClosingWindows();

private:
    std::string mName;
};

/// Runs a handler of the program and reports an exception that escapes it: the report is a
/// message box, after which the program ends. Returns what the handler returned, or `fallback`.
bool runGuardedResult(const std::function<bool()>& handler, bool fallback = false);
void runGuarded(const std::function<void()>& handler);

/// Reports an exception that no handler caught and ends the program with status 1.
void reportUnhandledException(std::string_view what);

} // namespace platform
