#pragma once

#include <cstdint>

namespace platform {

/// The modifier keys as they are held at the moment of the call. The Command key is Ctrl.
struct Keyboard {
    static bool AsyncCommandKey();
    static bool AsyncShiftKey();
};

/// The main screen.
struct Screen {
    static int32_t width();
    /// The part of the screen that windows may use (without panels and docks).
    static int32_t availableLeft();
    static int32_t availableTop();
    static int32_t availableWidth();
    static int32_t availableHeight();
};

} // namespace platform
