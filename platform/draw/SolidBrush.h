// A solid colour to fill or draw text with, as 0xAARRGGBB.
#pragma once

#include <cstdint>

namespace platform {

using ARGB = std::uint32_t;

class SolidBrush {
public:
    explicit SolidBrush(ARGB argb) : color(argb) {}
    ARGB getColor() const { return color; }

private:
    ARGB color;
};

} // namespace platform
