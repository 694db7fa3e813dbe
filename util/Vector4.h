// Four single-precision components, copied by value. Placements, angles, light
// colours and directions all travel in this shape; GL receives them as arrays.
#pragma once

#include <array>

struct Vector4 {
    float x;
    float y;
    float z;
    float w;

    std::array<float, 4> toArray() const { return {x, y, z, w}; }
};
