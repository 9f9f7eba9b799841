#pragma once

// The one seam through which tests drive the program without a person: every modal the
// program shows (message boxes, the three-button question, open and save dialogs, page setup
// and print dialogs, contextual menus and the program's own modal windows) goes to the
// handler a test installs, instead of the real dialog. Tests also inject input here.
// The program itself never calls anything in this header.

#include "platform/modal.h"

#include <cstdint>
#include <string>

namespace platform {

class Canvas;
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

/// Makes Rnd's numbers repeatable.
void seedRandom(unsigned long seed);

/// Pretends the main screen has this size.
void setScreenSize(int32_t width, int32_t height);

} // namespace testing
} // namespace platform
