#pragma once

// The platform's own bookkeeping: handler depth, modal runs, the windows in creation and
// activation order, and windows waiting to be deleted.

#include "platform/testing.h"

#include <optional>
#include <vector>

class QWidget;

namespace platform {
class Window;
}

namespace platform::detail {

/// Counts a modal run (a dialog, a modal window, a contextual menu) while it lasts. Starting
/// one first shows the windows that are waiting to be shown, so that the modal lies above them.
class ModalScope {
public:
    explicit ModalScope(const Window* except = nullptr);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};

/// How many modal runs have started since the program began; a press handler compares it
/// before and after to learn whether it ran one.
unsigned long modalRunCount();
int modalDepth();

/// Counts the program's handlers on the stack (runGuarded).
int& handlerDepth();

/// True once an unhandled exception was reported: the program is ending.
bool terminating();
/// Forgets a quit or an ending after an unhandled exception (tests start the program again
/// in the same process).
void clearQuitRequest();

/// The answer of the test's modal handler, or nothing when no handler is installed.
std::optional<testing::ModalAnswer> askTestSeam(const testing::ModalRequest& request);

/// The window a dialog should stay above: the frontmost visible window, if any.
QWidget* dialogParent();

// Window bookkeeping, kept by Window itself.
void registerWindow(Window* w);
void unregisterWindow(Window* w);
void noteActivated(Window* w);
std::vector<Window*>& windowsByActivation();
std::vector<Window*>& windowsInCreationOrder();
void scheduleDelete(Window* w);
/// Deletes closed windows once no handler and no modal run is on the stack (or always).
void flushDeletions(bool force = false);
/// Asks for flushDeletions once control is back in an event loop.
void postDeletions();
void showPendingWindows(const Window* except);

} // namespace platform::detail
