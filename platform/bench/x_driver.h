#pragma once

// A person at the keyboard and the mouse of an X server, for the benchmark that times the real
// program from outside: it finds the program's windows through the window manager, presses
// keys and buttons through XTEST and watches the drawing through DAMAGE. Every wait ends on an
// event of the server; its limit only guards against a hang.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

struct xcb_connection_t;

namespace platform::bench {

/// A point on the screen, in pixels from its top-left corner.
struct ScreenPoint {
    int32_t x = 0;
    int32_t y = 0;
};

/// A window's inside, without the window manager's frame, on the screen.
struct ScreenRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

class XDriver {
public:
    /// Connects to the server; connected() says whether it has XTEST and DAMAGE.
    explicit XDriver(const std::string& display);
    ~XDriver();
    XDriver(const XDriver&) = delete;
    XDriver& operator=(const XDriver&) = delete;

    bool connected() const { return mConnection != nullptr; }
    int32_t screenWidth() const { return mScreenWidth; }
    int32_t screenHeight() const { return mScreenHeight; }

    /// The top-level window of the process `pid` titled `title`, once the window manager lists
    /// it, or 0 when none came within `limitSeconds`.
    uint32_t awaitWindow(pid_t pid, std::string_view title, double limitSeconds);
    /// Whether the window manager lists no window any more, within `limitSeconds`.
    bool awaitNoWindows(double limitSeconds);
    /// Asks the window manager to give the window the keyboard, and waits until it has.
    bool activate(uint32_t window, double limitSeconds);
    /// Asks the window manager to maximise the window, and waits until it is.
    bool maximise(uint32_t window, double limitSeconds);
    /// Asks for the window's inside to be width by height, and waits until it is.
    bool resize(uint32_t window, int32_t width, int32_t height, double limitSeconds);
    /// Where the window's inside is on the screen now.
    std::optional<ScreenRect> geometry(uint32_t window);
    /// Where the window is on the screen with the window manager's frame around it, once the
    /// window manager has said how wide that frame is.
    std::optional<ScreenRect> frame(uint32_t window);
    /// The work area the window manager gives the windows: the screen less its panels.
    std::optional<ScreenRect> workArea();
    /// The top-level windows of the process `pid` that are shown, as the window manager lists
    /// them.
    std::vector<uint32_t> windowsOf(pid_t pid);
    /// The title of a window.
    std::string title(uint32_t window) { return titleOf(window); }

    /// A panel along the screen's bottom edge, `height` pixels high, which the window manager
    /// keeps every window off; once the work area has shrunk for it. Gone with the driver.
    bool reserveBottomPanel(int32_t height, double limitSeconds);
    /// Moves the window as a person does: presses the first button on the middle of its title
    /// bar, drags its frame's top-left corner to `to` in a few moves and lets go, again while
    /// the frame does not move; then waits until the screen has been quiet for `quietSeconds`.
    bool dragTitleBar(uint32_t window, ScreenPoint to, double quietSeconds, double limitSeconds);

    /// Presses and releases the key of the keysym (e.g. 0xff0d, Return); false when the
    /// keyboard has no such key.
    bool typeKey(uint32_t keysym);
    /// Presses the key in `window`, titled `title`, until the window of the process `pid`
    /// titled `next` shows, and returns that window, or 0 when it did not come within
    /// `limitSeconds`. A key that comes before the program has taken the keyboard in its
    /// window reaches another of its windows, so it is pressed again while `window` is there.
    uint32_t pressUntil(pid_t pid, uint32_t window, std::string_view title, std::string_view next,
                        uint32_t keysym, double limitSeconds);
    /// Moves the pointer to the point and presses and releases the first button there.
    void click(ScreenPoint at);
    /// Waits until nothing on the screen has been drawn for `quietSeconds`; false when the
    /// drawing went on for `limitSeconds`.
    bool awaitQuiet(double quietSeconds, double limitSeconds);

    /// A drag with the first button from `from` to `to` in a few moves; once the program has
    /// drawn all it draws for the press and the moves (quiet for `quietSeconds`), the release.
    /// Returns the seconds from the request of the release to the last drawing in `window`
    /// that followed it before it was quiet for `quietSeconds` again, or a negative number when
    /// it drew nothing within `limitSeconds`.
    double timeDrag(uint32_t window, ScreenPoint from, ScreenPoint to, double quietSeconds,
                    double limitSeconds);

private:
    uint32_t atom(const char* name);
    std::vector<uint32_t> clientWindows();
    std::string titleOf(uint32_t window);
    uint32_t cardinalProperty(uint32_t window, uint32_t property, uint32_t type);
    std::vector<uint32_t> atomsProperty(uint32_t window, uint32_t property);
    void roundTrip();
    /// Handles the events that came; waits up to `seconds` for one when none had. Returns
    /// whether any came.
    bool takeEvents(double seconds);
    void sendToRoot(uint32_t window, uint32_t type, const uint32_t (&data)[5]);
    void fake(uint8_t type, uint8_t detail, int16_t x = 0, int16_t y = 0);

    xcb_connection_t* mConnection = nullptr;
    uint32_t mRoot = 0;
    int32_t mScreenWidth = 0;
    int32_t mScreenHeight = 0;
    uint8_t mDamageEvent = 0;
    uint32_t mScreenDamage = 0;
    /// The window whose drawing a drag waits for, and the damage object that watches it.
    uint32_t mWatched = 0;
    uint32_t mWatchedDamage = 0;
    bool mWatchedDrawn = false;
    std::chrono::steady_clock::time_point mWatchedLast;
    /// Events of the screen's drawing so far.
    uint64_t mDrawings = 0;
};

} // namespace platform::bench
