#pragma once

// The print-settings file "KestrixPrint.dat" in the user's configuration folder: the page setup
// kept from one run to the next. One set of rules for the spider plot, the force field and the
// graph, each on the printer setup it uses.

#include "app/Messages.h"

#include "platform/printing.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

/// Page Setup: the file's settings (empty ones when there is none) in the page-setup dialog;
/// the file is rewritten when the dialog is confirmed. A file that cannot be read or written,
/// or one far larger than any page setup (which is not read), is reported; then nothing is
/// written and the setup is as it was. Without a preferences folder (no home) the dialog
/// starts from the setup as it is, which keeps its choice for this run alone.
void RunPageSetup(platform::PrinterSetup& setup);

/// What Print does before its print dialog: loads the file's settings, or when there is none
/// first shows the page-setup dialog and stores its settings when confirmed. False, after
/// `failureMessage`, when the file could not be read (or is far larger than any page setup)
/// or written. Without a preferences folder (no home) the setup stays as this run's Page
/// Setup left it, and the print goes on.
[[nodiscard]] bool LoadPrintSettings(platform::PrinterSetup& setup,
                                     std::string_view failureMessage = Messages::PrintingWentWrong);

/// Prints `page` with `draw` and tells the user when nothing was printed: `drawingFailure`
/// when the drawing failed, "The page could not be printed." when the printer or the file did
/// not take the page. True when the page was printed. With `wholeDrawing`, `draw` draws a
/// drawing of that size, which the page shows whole (PrintedPage::print); without it, `draw`
/// lays itself out over the printable area.
bool PrintPage(platform::PrintedPage& page, const std::function<void(platform::Graphics&)>& draw,
               std::string_view drawingFailure = Messages::PageNotPrinted,
               std::optional<platform::DrawingSize> wholeDrawing = std::nullopt);

/// The name of a print job of the window titled `window`: the title and the document's file
/// name ("Force Field Analysis - budget.dat"), the title alone for a document never saved.
std::string PrintJobName(std::string_view window);
