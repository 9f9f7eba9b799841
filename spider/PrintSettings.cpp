#include "spider/PrintSettings.h"

#include "app/frmMain.h"

#include "platform/dialogs.h"
#include "platform/files.h"

#include <cstddef>
#include <optional>

namespace {

constexpr const char* kPrintSettingsFile = "KestrixPrint.dat";
// Far more than any page setup's string: a larger file is none of ours, and is not read.
constexpr size_t kPrintSettingsLimit = 64 * 1024;

} // namespace

void RunPageSetup(platform::PrinterSetup& setup)
{
    if (!platform::PrintingAvailable()) {
        platform::MsgBox(Messages::PrintingWentWrong);
        return;
    }
    const std::optional<platform::File> f = platform::File::preferencesFile(kPrintSettingsFile);
    // Without a preferences folder (no home) the page setup holds for this run alone.
    if (!f) {
        (void)setup.pageSetupDialog();
        return;
    }
    std::string text;
    if (f->exists()) {
        const std::optional<std::string> bytes = f->readAll(kPrintSettingsLimit);
        if (!bytes) {
            platform::MsgBox(Messages::ProblemWithFile);
            return;
        }
        text = *bytes;
    }
    const platform::PrinterSetup before = setup;
    setup.setSetupString(text);
    if (!setup.pageSetupDialog())
        return;
    if (!f->writeAll(setup.setupString())) {
        setup = before;
        platform::MsgBox(Messages::ProblemCreatingFile);
    }
}

bool LoadPrintSettings(platform::PrinterSetup& setup, std::string_view failureMessage)
{
    const std::optional<platform::File> f = platform::File::preferencesFile(kPrintSettingsFile);
    // Without a preferences folder (no home) nothing is kept: the page is printed as the page
    // setup of this run left it.
    if (!f)
        return true;
    if (f->exists()) {
        const std::optional<std::string> bytes = f->readAll(kPrintSettingsLimit);
        if (!bytes) {
            platform::MsgBox(failureMessage);
            return false;
        }
        setup.setSetupString(*bytes);
        return true;
    }
    // A cancelled page setup does not cancel the print.
    if (setup.pageSetupDialog() && !f->writeAll(setup.setupString())) {
        platform::MsgBox(failureMessage);
        return false;
    }
    return true;
}

bool PrintPage(platform::PrintedPage& page, const std::function<void(platform::Graphics&)>& draw,
               std::string_view drawingFailure, std::optional<platform::DrawingSize> wholeDrawing)
{
    const platform::PrintResult result =
        wholeDrawing ? page.print(draw, *wholeDrawing) : page.print(draw);
    switch (result) {
    case platform::PrintResult::Printed:
        return true;
    case platform::PrintResult::DrawingThrew:
        platform::MsgBox(drawingFailure);
        return false;
    case platform::PrintResult::NotDelivered:
        platform::MsgBox(Messages::PageNotPrinted);
        return false;
    case platform::PrintResult::NotStarted:
        break;
    }
    return false;
}

std::string PrintJobName(std::string_view window)
{
    const std::string& document = frmMain::instance().InFileName;
    std::string name(window);
    if (!document.empty())
        name += " - " + document;
    return name;
}
