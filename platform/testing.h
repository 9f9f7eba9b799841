#pragma once

// The one seam through which tests drive the program without a person: every modal the
// program shows (message boxes, the three-button question, open and save dialogs, page setup
// and print dialogs, contextual menus and the program's own modal windows) goes to the
// handler a test installs, instead of the real dialog. Tests also inject input here.
// The program itself never calls anything in this header.

#include "platform/modal.h"
#include "platform/window.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class Canvas;
class Graphics;
class ListBox;
class Picture;
class Window;

namespace testing {

// What the program asks and how a test answers it (see platform/modal.h).
using platform::ModalAnswer;
using platform::ModalHandler;
using platform::ModalRequest;

/// Installs the handler that answers every modal; an empty handler restores the real dialogs.
/// For a Window request the handler works the window's controls (and normally closes it);
/// a window still open when the handler returns is hidden, which ends its modal run.
void setModalHandler(ModalHandler handler);

/// Runs pending events, posted paints and deferred deletions.
void processEvents();
/// Runs pending events, then paints at once every canvas of a shown window whose asked-for
/// repaint has not come yet: afterwards every repaint the program asked for has run, without
/// waiting on the clock.
void finishPaints();
/// Destroys every window without running close events and forgets a quit, so that each test
/// starts afresh.
void destroyAllWindows();
/// What the canvas shows on the screen once the pending paints are done: its pixels as its
/// window last put them on the screen.
platform::Picture shownPixels(const platform::Canvas& canvas);
/// How many threads drew the canvas's last paint (a large canvas is drawn in bands).
int paintThreads(const platform::Canvas& canvas);
/// Makes the window the active one, as a click on its title bar would.
void activate(platform::Window& window);
/// Asks the window to close as its title bar's close button does.
void clickCloseBox(platform::Window& window);
/// Minimises the window as its title bar's minimise button does, and tells whether it is.
void minimise(platform::Window& window);
bool isMinimised(const platform::Window& window);
/// Maximises the window as its title bar's maximise button does: it fills the screen's
/// available area (the size setScreenSize gave, headless).
void maximise(platform::Window& window);
/// Moves the window, frame and all, as the user does who drags it by its title bar.
void moveAsUser(platform::Window& window, int32_t left, int32_t top);
/// Where the window stands on the screen, frame and all.
platform::Rect frameOnScreen(const platform::Window& window);
/// Where the window's shown controls stand on the screen, and its menu bar (as nullptr).
std::vector<std::pair<const platform::Control*, platform::Rect>>
controlsOnScreen(const platform::Window& window);

enum Modifier : unsigned { NoModifier = 0, Command = 1, Shift = 2 };
enum class MouseButton { Left, Right };

/// Mouse input on a canvas, in its pixels, through the toolkit's input path; the modifiers
/// are held while the event is handled (and stay held until the next event).
void mousePress(platform::Canvas& canvas, int32_t x, int32_t y, unsigned modifiers = NoModifier,
                MouseButton button = MouseButton::Left);
void mouseMove(platform::Canvas& canvas, int32_t x, int32_t y, unsigned modifiers = NoModifier);
void mouseRelease(platform::Canvas& canvas, int32_t x, int32_t y, unsigned modifiers = NoModifier,
                  MouseButton button = MouseButton::Left);
/// A key typed into the window's focus widget ("Return", "Escape", "Ctrl+W", "a").
void typeKey(platform::Window& window, const std::string& key);
void doubleClickRow(platform::ListBox& list, int32_t row);
/// Pops nothing up: delivers a click on a heading of the list.
void clickHeading(platform::ListBox& list, int32_t column);

/// Chooses a menu item as the user would: nothing happens when it is disabled. Returns
/// whether it was enabled.
bool chooseMenuItem(const std::string& name);

/// A drawing operation over the rows from `top` to `bottom` (not included) that throws
/// std::runtime_error(`what`) when it is drawn, on whichever thread draws those rows.
void drawFailingOperation(platform::Graphics& g, int32_t top, int32_t bottom, std::string what);

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
    /// The program's window, when the modal is one of its own windows.
    virtual platform::Window* window() const = 0;
    /// Clicks the visible button (push, radio or check button) with this caption; false when
    /// there is none.
    virtual bool press(const std::string& caption) = 0;
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

/// Makes Rnd's numbers repeatable.
void seedRandom(unsigned long seed);

/// Pretends the main screen has this size.
void setScreenSize(int32_t width, int32_t height);

/// Works the next real open or save dialog (one shown while no handler is installed) as a
/// person would: types `name` into its file-name field and presses its accept button. A question
/// the dialog then asks (whether to replace a file) is answered with "Yes", its text kept in
/// `question` when given.
void typeIntoNextFileDialog(std::string name, std::string* question = nullptr);
/// Closes the next real dialog (one shown while no handler is installed) once it has been
/// painted as the screen shows it: confirms it or cancels it.
void closeNextDialog(bool confirm);

/// Records the warnings and errors the toolkit reports while it lives, and passes them on.
class ToolkitWarnings {
public:
    ToolkitWarnings();
    ~ToolkitWarnings();
    ToolkitWarnings(const ToolkitWarnings&) = delete;
    ToolkitWarnings& operator=(const ToolkitWarnings&) = delete;

    /// Each warning's text, in the order they came.
    const std::vector<std::string>& messages() const;
};

/// While it lives, every File::writeAll fails at one step, as a fault of the disk there would:
/// a write that takes half the bytes and then finds the disk full, a sync that fails, or a
/// rename that cannot put the new file in place.
class FileWriteFault {
public:
    enum class Step { ShortWrite, Sync, Rename };
    explicit FileWriteFault(Step step);
    ~FileWriteFault();
    FileWriteFault(const FileWriteFault&) = delete;
    FileWriteFault& operator=(const FileWriteFault&) = delete;
};

/// Loads the platform's modules (printing, the database) from `folder` from now on, where they
/// may be missing; an empty folder restores the program's own. A module that the process has
/// loaded already stays loaded.
void setModuleFolder(std::string folder);

/// While it lives, a print dialog answered without a file (ModalAnswer::ok()) sends its page to
/// the print queue `queue`, whose steps this object takes in the print system's place: it
/// records each step, and fails the one named `failAt`.
class FakePrintQueue {
public:
    enum class Step { None, CreateJob, StartDocument, WriteData, FinishDocument };
    explicit FakePrintQueue(std::string queue, Step failAt = Step::None);
    ~FakePrintQueue();
    FakePrintQueue(const FakePrintQueue&) = delete;
    FakePrintQueue& operator=(const FakePrintQueue&) = delete;

    /// The steps taken, in order: "create", "start", "write", "finish" and "cancel".
    const std::vector<std::string>& steps() const;
    /// The job's title and its options as "name=value", from its creation.
    const std::string& title() const;
    const std::vector<std::string>& options() const;
    /// The bytes the job was sent.
    const std::string& document() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace testing
} // namespace platform
