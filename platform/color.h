#pragma once

#include <cstdint>

namespace platform {

/// An opaque colour, 8 bits per component.
struct Color {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

/// A colour from three components; each is limited to 0..255 first.
constexpr Color RGB(int32_t r, int32_t g, int32_t b)
{
    auto limit = [](int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    return Color{limit(r), limit(g), limit(b)};
}

} // namespace platform
