#pragma once

#include <cstdint>

namespace platform::detail {

void setScreenOverride(int32_t width, int32_t height);

} // namespace platform::detail
