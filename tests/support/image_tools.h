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
/// The first page of a PDF file rendered at `dpi` (pdftoppm); at 72 a pixel is a point.
std::optional<RgbImage> renderPdf(const std::string& pdf, int dpi);
/// A PICT file as ImageMagick's convert reads it.
std::optional<RgbImage> decodePict(const std::string& path);

} // namespace imagetools
