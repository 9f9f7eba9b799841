#pragma once

#include "platform/color.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class File;
class Graphics;

namespace detail {
struct PictureImpl;
}

/// An off-screen picture of 32-bit pixels that starts white. Its one Graphics keeps its
/// colour, pen and text state across uses.
class Picture {
public:
    Picture(int32_t width, int32_t height);
    ~Picture();
    Picture(Picture&&) noexcept;
    Picture& operator=(Picture&&) noexcept;

    /// A picture of the program's resources, by its number; nothing when it is missing.
    static std::optional<Picture> fromResource(int number);

    int32_t width() const;
    int32_t height() const;
    Graphics& graphics();
    Color pixel(int32_t x, int32_t y) const;

    detail::PictureImpl& impl() const { return *d; }

private:
    Picture();
    std::unique_ptr<detail::PictureImpl> d;
};

/// Where the program's resource pictures are found: the folders in this order, each one
/// that is relative taken from the folder of the program file. By default only the folder
/// "resources" beside the program.
void setResourceFolders(const std::vector<std::string>& folders);
/// Only this one folder.
void setResourceFolder(const std::string& path);

} // namespace platform
