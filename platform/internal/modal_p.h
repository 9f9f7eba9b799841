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
/// - an answerer installed in the person's place (see platform/testing.h) answers `request`;
///   a modal window it leaves open is hidden, which ends the run;
/// - without one, `show` runs the real modal and turns what the person did into the answer.
std::optional<ModalAnswer> runModal(const ModalRequest& request,
                                    const std::function<ModalAnswer()>& show,
                                    const std::function<void()>& open = {});

/// How many modal runs have started since the program began; a press handler compares it
/// before and after to learn whether it ran one.
unsigned long modalRunCount();
/// How many modal runs are under way.
int modalDepth();

/// The answerer installed in the person's place; empty unless a test installed one.
ModalHandler& modalHandler();

/// The window a dialog should stay above: the frontmost visible window, if any.
QWidget* dialogParent();

} // namespace platform::detail
