#pragma once

// Saving pictures as PICT files (QuickDraw pictures, version 2).

#include <optional>
#include <string>

namespace platform {

class File;
class Picture;

/// The PICT file of a picture: a 512-byte zero header, then a version 2 picture at 72 dots to
/// the inch holding the pixels in one DirectBitsRect of 32-bit pixels, packed by component.
/// Nothing when the picture is too large for the format (wider than 4095 pixels).
[[nodiscard]] std::optional<std::string> EncodePict(const Picture& picture);

/// Writes the picture into the file in the format that `format` names: 0 (the only one) is a
/// PICT file. An existing file is replaced. Returns false, leaving the file as it was (and no
/// file where there was none), when the picture cannot be encoded or the file cannot be
/// written.
[[nodiscard]] bool SaveAsPicture(const File& file, const Picture& picture, int format = 0);

} // namespace platform
