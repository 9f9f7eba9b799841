#pragma once

// The platform's own bookkeeping: handler depth, the windows in creation and activation order,
// and windows waiting to be deleted.

#include <vector>

namespace platform {
class Window;
}

namespace platform::detail {

/// Counts the program's handlers on the stack (runGuarded).
int& handlerDepth();

/// True once an unhandled exception was reported: the program is ending.
bool terminating();
/// Forgets a quit or an ending after an unhandled exception (tests start the program again
/// in the same process).
void clearQuitRequest();

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
