#pragma once

// Answers the program's modals in a test, in the order the test expects them, and keeps what
// was asked.

#include "platform/testing.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

using platform::testing::ModalAnswer;
using platform::testing::ModalRequest;
using Kind = platform::testing::ModalRequest::Kind;

class ModalScript {
public:
    using Step = std::function<ModalAnswer(const ModalRequest&)>;

    ModalScript();
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    /// The next modal must be of this kind; `step` answers it.
    ModalScript& expect(Kind kind, Step step);
    /// Shorthands.
    ModalScript& message(std::string text = {}); ///< a MsgBox, with this text when given
    ModalScript& question(int button);
    ModalScript& openFile(std::string path);
    ModalScript& saveFile(std::string path);
    ModalScript& cancel(Kind kind);
    ModalScript& window(std::function<void(platform::Window&)> work);

    /// Every expected modal came.
    bool done() const { return mSteps.empty(); }
    const std::vector<ModalRequest>& seen() const { return mSeen; }
    /// The messages of every MsgBox seen.
    std::vector<std::string> messages() const;

private:
    ModalAnswer answer(const ModalRequest& request);

    std::deque<std::pair<Kind, Step>> mSteps;
    std::vector<ModalRequest> mSeen;
};

const char* kindName(Kind kind);

/// Between scripts every modal fails the test and is cancelled, so that no test waits for a
/// person. The test programs install it at start.
void InstallUnexpectedModalHandler();

} // namespace testsupport
