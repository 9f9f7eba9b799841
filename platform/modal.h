#pragma once

// What a modal asks and how it is answered. Every modal of the program (message boxes, the
// three-button question, open and save dialogs, page setup and print dialogs, contextual menus
// and the program's own modal windows) describes itself in a ModalRequest. A person answers
// the real dialog; an answerer installed in their place (the test seam of platform/testing.h)
// answers the request with a ModalAnswer, and no dialog is shown.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class Window;

/// What the program asked.
struct ModalRequest {
    enum class Kind {
        Message,        ///< MsgBox: `message`, titled with the program's name (`title`)
        Question,       ///< MessageDialog: `title`, `message`, `explanation`, `buttons`
        OpenFile,       ///< `filter` (a file type name), `initialDirectory`
        SaveFile,       ///< `filter`, `filters`, `defaultName`, `initialDirectory`
        PageSetup,      ///< the page-setup dialog
        Print,          ///< the print dialog
        ContextualMenu, ///< `buttons` holds the rows
        Window,         ///< the program's own modal window: `window`, live and shown
    };
    Kind kind = Kind::Message;
    std::string title;
    std::string message;
    std::string explanation;
    /// Question: the captions of the action, alternate and cancel buttons ("" when hidden).
    /// ContextualMenu: the rows.
    std::vector<std::string> buttons;
    /// Question: the place in `buttons` of the button that Return presses.
    int defaultChoice = 0;
    std::string filter;
    /// SaveFile: every file type offered, `filter` (the one selected at the start) first.
    std::vector<std::string> filters;
    std::string defaultName;
    std::string initialDirectory;
    platform::Window* window = nullptr;
};

/// How a modal was answered.
struct ModalAnswer {
    /// Question: 0 action, 1 alternate, 2 cancel. ContextualMenu: the row, -1 for none.
    /// PageSetup: 1 confirms, 0 cancels.
    int choice = 0;
    /// OpenFile, SaveFile: the chosen file; Print: the PDF file the page goes to.
    /// Nothing cancels these.
    std::optional<std::string> path;
    /// Print: the print queue the page goes to, when it goes to no file.
    std::optional<std::string> queue;

    static ModalAnswer ok() { return {}; }
    static ModalAnswer button(int i) { return {i, {}, {}}; }
    static ModalAnswer file(std::string p) { return {0, std::move(p), {}}; }
    static ModalAnswer printQueue(std::string q) { return {0, {}, std::move(q)}; }
    static ModalAnswer cancel() { return {-1, {}, {}}; }
};

/// Answers every modal in the person's place.
using ModalHandler = std::function<ModalAnswer(const ModalRequest&)>;

} // namespace platform
