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

/// How the run stands: a quit asked for, and with what exit code, or the program ending after
/// an unhandled exception.
struct RunState {
    bool quitRequested = false;
    bool terminating = false;
    int exitCode = 0;
};
RunState& runState();

/// True once an unhandled exception was reported: the program is ending.
bool terminating();

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
