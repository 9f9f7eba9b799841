#pragma once

// Saving pictures as files: PICT (QuickDraw pictures, version 2), encoded here, and PNG, which
// the toolkit's image writer encodes.

#include <optional>
#include <string>

namespace platform {

class File;
class Picture;

/// The PICT file of a picture: a 512-byte zero header, then a version 2 picture at 72 dots to
/// the inch holding the pixels in one DirectBitsRect of 32-bit pixels, packed by component.
/// Nothing when the picture is too large for the format (wider than 4095 pixels).
[[nodiscard]] std::optional<std::string> EncodePict(const Picture& picture);

/// The PNG file of a picture, as the toolkit's image writer makes it: the same pixels, opaque.
/// Nothing when the writer fails.
[[nodiscard]] std::optional<std::string> EncodePng(const Picture& picture);

/// The formats SaveAsPicture writes.
inline constexpr int kPictFormat = 0;
inline constexpr int kPngFormat = 1;

/// Writes the picture into the file in the format that `format` names: kPictFormat or
/// kPngFormat. An existing file is replaced. Returns false, leaving the file as it was (and no
/// file where there was none), when the format is neither, the picture cannot be encoded or
/// the file cannot be written.
[[nodiscard]] bool SaveAsPicture(const File& file, const Picture& picture,
                                 int format = kPictFormat);

} // namespace platform
