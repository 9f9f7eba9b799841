#pragma once

// The test seam, part one: the program's windows and the input a person gives them. A test
// runs the event loop, works the windows' title-bar buttons, puts the mouse and the keyboard
// to the canvases and lists, chooses menu items, and looks at what the screen shows, all
// through the toolkit's own input path, headless.

#include "platform/picture.h"
#include "platform/window.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class Canvas;
class Control;
class ListBox;
class Picture;

namespace testing {

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
/// An image file as the toolkit's image reader reads it: its pixels, and the format the reader
/// found in its bytes ("png", "jpeg", ...). Nothing when the reader cannot read it.
struct ReadImage {
    platform::Picture pixels;
    std::string format;
};
std::optional<ReadImage> readImageFile(const std::string& path);
/// How many threads drew the canvas's last paint (a large canvas is drawn in bands).
int paintThreads(const platform::Canvas& canvas);
/// How many operations of its drawing the canvas's last paint took from a layer drawn before.
size_t paintedFromLayer(const platform::Canvas& canvas);

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
/// A key typed into the window's focus widget ("Return", "Escape", "Ctrl+W", "a"), also while
/// the window is not the active one.
void typeKey(platform::Window& window, const std::string& key);
/// A double-click on the row, scrolled into sight first when it lies out of it; on the list's
/// empty part below its rows for a row it does not have.
void doubleClickRow(platform::ListBox& list, int32_t row);
/// Pops nothing up: delivers a click on a heading of the list.
void clickHeading(platform::ListBox& list, int32_t column);

/// Chooses a menu item as the user would: nothing happens when it is disabled. Returns
/// whether it was enabled.
bool chooseMenuItem(const std::string& name);

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

} // namespace testing
} // namespace platform
