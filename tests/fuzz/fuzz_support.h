#pragma once

// What the fuzz targets share: a headless platform for the readers that need the toolkit, the
// one way a target reports a broken promise, and the promise of the page-setup string.

#include <string_view>

namespace platform {
class PrinterSetup;
}

namespace fuzzsupport {

/// Makes the application object once, headless and with a preferences folder of its own,
/// unless the program already has one (a corpus test's main makes it). From each call on,
/// every modal fails the input: a reader must not ask the user anything.
void StartPlatform();

/// Reports `what` and aborts, which libFuzzer takes as a finding and a corpus test as a
/// failure.
[[noreturn]] void Fail(std::string_view what);

inline void Check(bool ok, std::string_view what)
{
    if (!ok)
        Fail(what);
}

/// What a setup holds after it was given `text`: either the settings that `text` describes,
/// when `text` is a setup string that it gives back (white space around it aside), restored so
/// that they give that string again and leave room on the page; or else a new setup's
/// defaults.
void CheckRestoredOrDefaults(const platform::PrinterSetup& setup, std::string_view text);

} // namespace fuzzsupport
