#pragma once

// Printing: the printer setup with its page-setup dialog, and the print dialog that hands out
// one page to draw on. Both dialogs can be answered by a test (see platform/testing.h).
//
// What printing needs of the toolkit is loaded by the first call that needs it, not at
// start-up. When it cannot be loaded, PrintingAvailable() says so, a setup holds no settings
// (an empty setup string, a page of 0 by 0), its page-setup dialog is not shown and returns
// false, and a print dialog is not shown either: it returns a page that is not delivered.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

class Graphics;

namespace detail {
class PrinterSetupImpl;
class PrintedPageImpl;
} // namespace detail

/// Loads printing if it is not loaded yet. False when it cannot be loaded: no page setup or
/// print can then be done.
[[nodiscard]] bool PrintingAvailable();

/// The page settings of a print: the printer, the paper size, the orientation and the margins.
/// A new setup holds the default printer's defaults. Making one loads nothing: its settings
/// are made by their first use.
class PrinterSetup {
public:
    PrinterSetup();
    ~PrinterSetup();
    PrinterSetup(const PrinterSetup& other);
    PrinterSetup& operator=(const PrinterSetup& other);
    PrinterSetup(PrinterSetup&&) noexcept;
    PrinterSetup& operator=(PrinterSetup&&) noexcept;

    /// The settings as one line of text in a format of this layer's own, for storing them.
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
    [[nodiscard]] bool pageSetupDialog();

    /// The settings, made by this first use; nullptr when printing cannot be loaded.
    detail::PrinterSetupImpl* impl() const;

private:
    mutable std::unique_ptr<detail::PrinterSetupImpl> d;
};

/// The size of a drawing in its own units.
struct DrawingSize {
    int32_t width = 0;
    int32_t height = 0;
};

/// What became of a page that print() was asked to print.
enum class PrintResult {
    Printed,      ///< the printer accepted the whole job, or the file holds the whole page
    DrawingThrew, ///< the drawing threw; what it threw ends in print()
    NotDelivered, ///< the page was drawn, but the printer or the file did not take it
    NotStarted,   ///< the page printed before, or the program is closing: nothing was done
};

/// One print job of one page, as the print dialog started it. Nothing reaches the printer or
/// the file until print() has drawn the whole page: a page destroyed without printing, or whose
/// drawing failed, is aborted and leaves no trace.
class PrintedPage {
public:
    explicit PrintedPage(std::unique_ptr<detail::PrintedPageImpl> impl);
    ~PrintedPage();
    PrintedPage(const PrintedPage&) = delete;
    PrintedPage& operator=(const PrintedPage&) = delete;

    /// Draws the page with `draw` and sends it to the printer or the PDF file chosen in the
    /// dialog. The Graphics is the page in points from the top-left corner of the printable
    /// area, as wide and high as that area; drawing outside it is cut off.
    ///
    /// Unless it returns Printed, the job is aborted: nothing of it is printed, and no file is
    /// made or changed. Nothing is shown to the user; the caller tells them. A page prints
    /// once; later calls do nothing.
    [[nodiscard]] PrintResult print(const std::function<void(Graphics&)>& draw);
    /// As print(draw), for a drawing of `size` units that the page shows whole: the Graphics is
    /// `size` wide and high, scaled alike across and down to the largest size that fits the
    /// printable area, and centred on it. Drawing outside `size` is cut off.
    [[nodiscard]] PrintResult print(const std::function<void(Graphics&)>& draw, DrawingSize size);

private:
    std::unique_ptr<detail::PrintedPageImpl> d;
};

/// The modal print dialog for the setup, for a job named `jobName` (the name the print queue
/// shows, and the title of a PDF file). When the user confirms it, the setup takes the page
/// settings chosen there (its width and height are then the page's) and the job's one page is
/// returned. Nothing when the dialog was cancelled. When printing cannot be loaded no dialog
/// is shown, and the page returned is one whose print() returns NotDelivered.
[[nodiscard]] std::unique_ptr<PrintedPage> OpenPrinterDialog(PrinterSetup& setup,
                                                             std::string_view jobName);

} // namespace platform
