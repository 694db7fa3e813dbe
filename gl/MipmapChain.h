// The levels below level 0 of a mipmapped texture, made on the CPU with a box
// filter: each level halves both sides (never below 1, as GL sizes levels),
// down to 1 x 1. Pixels are 4 bytes and every channel is averaged alike, so
// the byte order (BGRA here) does not matter.
#pragma once

#include <cstdint>
#include <vector>

struct MipmapLevel {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // packed rows, 4 bytes per pixel
};

// Levels 1 to the last for a width x height level 0 given as packed rows.
// Empty when level 0 is already 1 x 1.
std::vector<MipmapLevel> buildMipmapChain(const std::uint8_t* level0, int width, int height);

// One level down: both sides halved (at least 1). An odd side's last pixel is
// folded into the last output pixel, so every source pixel counts.
MipmapLevel halveLevel(const std::uint8_t* pixels, int width, int height);
