#pragma once

// Printing: the printer setup with its page-setup dialog, and the print dialog that hands out
// one page to draw on. Both dialogs can be answered by a test (see platform/testing.h).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

class Graphics;

namespace detail {
struct PrinterSetupImpl;
struct PrintedPageImpl;
} // namespace detail

/// The page settings of a print: the printer, the paper size, the orientation and the margins.
/// A new setup holds the default printer's defaults.
class PrinterSetup {
public:
    PrinterSetup();
    ~PrinterSetup();
    PrinterSetup(const PrinterSetup& other);
    PrinterSetup& operator=(const PrinterSetup& other);
    PrinterSetup(PrinterSetup&&) noexcept;
    PrinterSetup& operator=(PrinterSetup&&) noexcept;

    /// The settings as one line of text of the program's own, for storing them.
    std::string setupString() const;
    /// Restores the settings from a text that setupString() gave, so that setupString() then
    /// returns that text again (white space around it, and a UTF-8 byte-order mark before it,
    /// aside). Any other text (empty, foreign, of another version, damaged) gives the defaults
    /// of a new setup.
    void setSetupString(std::string_view text);

    /// The printable area of the page, in points (72 to the inch): the paper in its
    /// orientation less the margins. A printed page's Graphics has this size.
    int32_t width() const;
    int32_t height() const;

    /// The modal page-setup dialog. True when the user confirmed it; the setup then holds the
    /// user's choice. False when cancelled, and the setup is as it was.
    bool pageSetupDialog();

    detail::PrinterSetupImpl& impl() { return *d; }

private:
    std::unique_ptr<detail::PrinterSetupImpl> d;
};

/// One printed page: what is drawn on its Graphics goes to the printer when the page is
/// destroyed, which ends the page and the print job. A job has exactly this one page.
class PrintedPage {
public:
    explicit PrintedPage(std::unique_ptr<detail::PrintedPageImpl> impl);
    ~PrintedPage();
    PrintedPage(const PrintedPage&) = delete;
    PrintedPage& operator=(const PrintedPage&) = delete;

    /// The page in points from the top-left corner of the printable area; its width and
    /// height are the printable area's. Drawing outside that area is cut off.
    Graphics& graphics();

private:
    std::unique_ptr<detail::PrintedPageImpl> d;
};

/// The modal print dialog for the setup. When the user confirms it, the setup takes the page
/// settings chosen there (its width and height are then the page's) and the job's one page is
/// returned. Nothing when the dialog was cancelled, or when the chosen printer or file could
/// not start the job; that failure has been reported to the user with a message box.
std::unique_ptr<PrintedPage> OpenPrinterDialog(PrinterSetup& setup);

} // namespace platform
