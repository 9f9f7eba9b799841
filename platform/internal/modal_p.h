#pragma once

// Modal runs: the one way a modal is shown, and how many there were and are.

#include "platform/modal.h"

#include <functional>
#include <optional>

class QWidget;

namespace platform::detail {

/// Runs one modal (a dialog, a contextual menu or one of the program's modal windows) and
/// returns its answer:
/// - while the program is ending after an unhandled exception, nothing is shown and there is
///   no answer;
/// - otherwise the modal counts as a modal run for as long as it lasts, and the windows
///   waiting to be shown are shown first, so that it lies above them (all but
///   `request.window`, the modal window itself);
/// - `open`, when given, puts the modal up before anyone answers it;
/// - the services answer `request` (Services::runModal): the program's run `show`, the real
///   modal, and turn what the person did into the answer; the test seam's may answer in the
///   person's place; a modal window still open afterwards is hidden, which ends the run.
std::optional<ModalAnswer> runModal(const ModalRequest& request,
                                    const std::function<ModalAnswer()>& show,
                                    const std::function<void()>& open = {});

/// How many modal runs have started since the program began; a press handler compares it
/// before and after to learn whether it ran one.
unsigned long modalRunCount();
/// How many modal runs are under way.
int modalDepth();

/// The window a dialog should stay above: the frontmost visible window, if any.
QWidget* dialogParent();

} // namespace platform::detail
