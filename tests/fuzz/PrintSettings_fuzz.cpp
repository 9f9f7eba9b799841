// The print-settings file "KestrixPrint.dat" as Print and Page Setup read it. Print loads the
// file without a question and without changing it, into the settings it describes or the
// defaults; a confirmed Page Setup then stores those settings, and the file it writes loads
// back to exactly them.

#include "spider/PrintSettings.h"

#include "tests/fuzz/fuzz_support.h"

#include "platform/files.h"
#include "platform/testing.h"

#include <cstddef>
#include <cstdint>

using fuzzsupport::Check;
namespace pt = platform::testing;

namespace {

platform::File settingsFile()
{
    fuzzsupport::StartPlatform();
    const std::optional<platform::File> folder = platform::File::preferencesFolder();
    Check(folder.has_value(), "no preferences folder");
    return folder->child("KestrixPrint.dat");
}

// Answers the page-setup dialog by confirming it; any other modal fails the input.
void confirmPageSetup()
{
    pt::setModalHandler([](const pt::ModalRequest& r) {
        if (r.kind != pt::ModalRequest::Kind::PageSetup)
            fuzzsupport::Fail("Page Setup showed a message: \"" + r.message + "\"");
        return pt::ModalAnswer::button(1);
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const platform::File file = settingsFile();
    static platform::PrinterSetup setup;
    static platform::PrinterSetup reloaded;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(file.writeAll(bytes), "cannot store the input as the print-settings file");

    fuzzsupport::StartPlatform();
    Check(LoadPrintSettings(setup), "Print refused a print-settings file it could read");
    fuzzsupport::CheckRestoredOrDefaults(setup, bytes);
    Check(file.readAll() == bytes, "reading the print-settings file changed it");

    confirmPageSetup();
    const std::string loaded = setup.setupString();
    RunPageSetup(setup);
    Check(setup.setupString() == loaded, "a confirmed Page Setup changed the settings");
    Check(file.readAll() == loaded, "Page Setup stored other settings than it holds");
    Check(LoadPrintSettings(reloaded) && reloaded.setupString() == loaded,
          "the stored settings load back to other ones");
    return 0;
}
