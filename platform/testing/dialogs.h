#pragma once

// The test seam, part two: the modals. Every modal the program shows (message boxes, the
// three-button question, open and save dialogs, page setup and print dialogs, contextual menus
// and the program's own modal windows) goes to the handler a test installs, in the person's
// place (see platform/modal.h for what it is asked and how it answers). A test may instead let
// the real dialogs come up and work them by their own controls (RealDialogs), or work the next
// real file dialog or any dialog by its buttons.

#include "platform/modal.h"
#include "platform/window.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class Window;

namespace testing {

using platform::ModalAnswer;
using platform::ModalHandler;
using platform::ModalRequest;

/// Installs the handler that answers every modal; an empty handler restores the real dialogs.
/// For a Window request the handler works the window's controls (and normally closes it);
/// a window still open when the handler returns is hidden, which ends its modal run.
void setModalHandler(ModalHandler handler);

/// A real dialog, or one of the program's own modal windows, as the person sees it while a
/// test works it in their place (see RealDialogs).
class RealDialog {
public:
    virtual ~RealDialog() = default;
    virtual std::string title() const = 0;
    /// A message box's text and explanation ("" for other dialogs).
    virtual std::string text() const = 0;
    virtual std::string explanation() const = 0;
    /// The captions of its visible buttons as shown, without their mnemonic marks, and the
    /// caption of the default one ("" when none is).
    virtual std::vector<std::string> buttons() const = 0;
    virtual std::string defaultButton() const = 0;
    /// File dialogs: the name filters offered, the one selected, the folder shown and the
    /// name in the file-name field.
    virtual std::vector<std::string> nameFilters() const = 0;
    virtual std::string selectedNameFilter() const = 0;
    virtual std::string folder() const = 0;
    virtual std::string fileName() const = 0;
    /// Where it stands on the screen, frame and all.
    virtual platform::Rect frame() const = 0;
    /// The program's window, when the modal is one of its own windows.
    virtual platform::Window* window() const = 0;
    /// Clicks the visible button (push, radio or check button) with this caption; false when
    /// there is none.
    virtual bool press(const std::string& caption) = 0;
    /// Brings the tab with this caption to the front, as a click on it does; false when no
    /// shown tab has it.
    virtual bool chooseTab(const std::string& caption) = 0;
    /// Types the number `value` into the shown number box that the label with this caption
    /// (as shown, without its mnemonic mark) names, replacing what it held; false when no such
    /// box takes it.
    virtual bool typeNumber(const std::string& label, int value) = 0;
    /// Types into a file dialog's file-name field, replacing what it held.
    virtual void typeFileName(const std::string& name) = 0;
    /// Types Escape into the dialog.
    virtual void pressEscape() = 0;
    /// Closes the dialog as its title bar's close button does.
    virtual void clickCloseBox() = 0;
};

/// Lets the program show its real dialogs and modal windows while it lives: the answerer of
/// setModalHandler is put aside (and put back at the end), and each modal, once it is shown,
/// goes to the next step in turn, which looks at it and answers it with its own buttons. A
/// modal that no step is left for, or that its step leaves open, is closed and recorded, so
/// that no test waits for a person.
class RealDialogs {
public:
    RealDialogs();
    ~RealDialogs();
    RealDialogs(const RealDialogs&) = delete;
    RealDialogs& operator=(const RealDialogs&) = delete;

    RealDialogs& then(std::function<void(RealDialog&)> step);
    /// Every step has run.
    bool done() const;
    /// The titles of the modals that had no step, or that their step left open.
    std::vector<std::string> unanswered() const;

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

/// What a real open or save dialog lets the person do to the files it lists.
struct FileDialogReach {
    bool shown = false;          ///< a real file dialog came up
    bool dragAway = false;       ///< an item of one of its views can be dragged (and so moved)
    bool dropOnto = false;       ///< one of its views takes a drop (a move onto a folder)
    bool newFolder = false;      ///< its "New Folder" button can be pressed
    bool renameOrDelete = false; ///< it can rename or delete what it lists
};
/// Runs `show`, which puts up a real open or save dialog whatever modal handler is installed;
/// once the dialog is up, looks at what it lets the person do to the files, then cancels it.
FileDialogReach probeFileDialog(const std::function<void()>& show);

/// Works the next real open or save dialog (one shown while no handler is installed) as a
/// person would: types `name` into its file-name field and presses its accept button. A question
/// the dialog then asks (whether to replace a file) is answered with "Yes", its text kept in
/// `question` when given.
void typeIntoNextFileDialog(std::string name, std::string* question = nullptr);
/// Closes the next real dialog (one shown while no handler is installed) once it has been
/// painted as the screen shows it: confirms it or cancels it.
void closeNextDialog(bool confirm);

} // namespace testing
} // namespace platform
