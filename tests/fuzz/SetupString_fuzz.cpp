// The page-setup string: a string that the printer setup restores is restored to itself, and
// anything else gives the defaults of a new setup, whatever the setup held before.

#include "platform/printing.h"

#include "tests/fuzz/fuzz_support.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzsupport::StartPlatform();
    // One setup for every input, so that what an earlier input left in it must not show.
    static platform::PrinterSetup setup;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    setup.setSetupString(text);
    fuzzsupport::CheckRestoredOrDefaults(setup, text);
    return 0;
}
