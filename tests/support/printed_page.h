#pragma once

// The pages a print is checked on, and such a page read back from its PDF file by the outside
// readers: its words with their boxes, and its pixels.

#include "tests/support/image_tools.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace testsupport {

/// A page as the page-setup dialog offers it at first: A4 or Letter, upright or across, with
/// margins of 10 points.
struct StandardPage {
    const char* name;
    std::string setupString;
};
std::vector<StandardPage> StandardPages();
std::string StandardPageName(const ::testing::TestParamInfo<StandardPage>& info);

/// The first page of a printed PDF file.
struct PrintedPdf {
    static constexpr int kDpi = 144;
    static constexpr double kMargin = 10;

    imagetools::PdfPageWords page;
    imagetools::RgbImage image; ///< rendered at kDpi
    /// The printable area in points, from the paper's corner: kMargin in from the left and top.
    int areaWidth = 0;
    int areaHeight = 0;

    /// Where a drawing of dw by dh units that the page shows whole lies on it.
    imagetools::WholeDrawing wholeDrawing(int dw, int dh) const;
    /// The words that do not lie wholly on the printable area (half a point allowed): what a
    /// printer cuts off.
    std::vector<std::string> wordsOffTheArea() const;
    /// The pixel of the image at a paper point.
    platform::Color at(double x, double y) const;
};

/// Reads the PDF file printed with the page `setupString`; nothing when it is not a PDF of
/// one page.
std::optional<PrintedPdf> ReadPrintedPdf(const std::string& pdf, const std::string& setupString);

} // namespace testsupport
