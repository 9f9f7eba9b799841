#pragma once

// The outside tools the printing and picture tests check their files with: pdfinfo and
// pdftoppm (poppler-utils) for printed pages, ImageMagick's convert for pictures.

#include "platform/color.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace imagetools {

/// An image of 8-bit RGB pixels, as a PPM file holds it.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    platform::Color at(int x, int y) const;
};

/// True when the program is on the PATH.
bool hasTool(const std::string& name);
/// The text of a test failure naming the missing program and the package that brings it.
std::string missingTool(const std::string& name, const std::string& package);

/// Runs a shell command and returns what it wrote to its standard output; nothing when it
/// could not run or ended with a non-zero status.
std::optional<std::string> run(const std::string& command);
/// The text as one shell word.
std::string quote(const std::string& text);

/// A binary PPM (P6) of 8-bit components; nothing when the bytes are not one.
std::optional<RgbImage> parsePpm(std::string_view bytes);

/// The number of pages of a PDF file (pdfinfo); nothing when it cannot be read.
std::optional<int> pdfPageCount(const std::string& pdf);
/// The number of pages of a PDF file and the size of its first, in points, as pdfinfo tells.
struct PdfInfo {
    int pages = 0;
    double width = 0;
    double height = 0;
};
/// What pdfinfo tells of a PDF file; nothing when it cannot be read or tells no page count.
std::optional<PdfInfo> pdfInfo(const std::string& pdf);
/// The first page of a PDF file rendered at `dpi` (pdftoppm); at 72 a pixel is a point.
std::optional<RgbImage> renderPdf(const std::string& pdf, int dpi);
/// A PICT file as ImageMagick's convert reads it.
std::optional<RgbImage> decodePict(const std::string& path);

/// A word of a PDF page and its box, in points from the page's top-left corner.
struct PdfWord {
    std::string text;
    double xMin = 0;
    double yMin = 0;
    double xMax = 0;
    double yMax = 0;
};
/// The first page's size in points and its words, as pdftotext -bbox reads them.
struct PdfPageWords {
    double width = 0;
    double height = 0;
    std::vector<PdfWord> words;

    /// The first word with this text; nothing when the page has none.
    std::optional<PdfWord> find(const std::string& text) const;
};
std::optional<PdfPageWords> pdfWords(const std::string& pdf);

/// Where a page puts a drawing that it shows whole (platform::PrintedPage::print with a
/// drawing size): scaled alike across and down to fit the printable area, centred on it.
struct WholeDrawing {
    double scale = 1; ///< points per unit of the drawing
    double left = 0;  ///< its left and top edge on the paper, in points
    double top = 0;

    /// For a drawing of dw by dh units on a printable area of aw by ah points whose corner
    /// lies (marginLeft, marginTop) points from the paper's.
    static WholeDrawing on(int dw, int dh, int aw, int ah, double marginLeft, double marginTop);
    /// The paper point of the drawing's point (x, y), in pixels of the page rendered at dpi.
    int pixelX(double x, int dpi) const { return static_cast<int>((left + x * scale) * dpi / 72); }
    int pixelY(double y, int dpi) const { return static_cast<int>((top + y * scale) * dpi / 72); }
};

} // namespace imagetools
