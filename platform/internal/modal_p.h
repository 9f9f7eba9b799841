#pragma once

// Modal runs: how many there were and are, and who answers them.

#include "platform/modal.h"

#include <optional>

class QWidget;

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
/// How many modal runs are under way.
int modalDepth();

/// The answerer installed in the person's place; empty unless a test installed one.
ModalHandler& modalHandler();
/// The installed answerer's answer, or nothing when none is installed.
std::optional<ModalAnswer> askTestSeam(const ModalRequest& request);

/// The window a dialog should stay above: the frontmost visible window, if any.
QWidget* dialogParent();

} // namespace platform::detail
