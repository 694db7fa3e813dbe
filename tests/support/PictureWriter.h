// Picture files for tests and benchmarks, written with libjpeg, libpng and
// giflib (and BMP by hand): any size, plain or interlaced, with or without
// alpha, and headers that claim sizes their files do not hold.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace testing_support {

// The colour of pixel (x, y) as 0xAARRGGBB, straight alpha.
using PixelAt = std::function<std::uint32_t(int x, int y)>;

struct PictureOptions {
    bool interlaced = false; // PNG Adam7, GIF's four passes, JPEG progressive
    bool alpha = false;      // PNG with an alpha channel, BMP of 32 bits with an alpha mask, GIF transparency
    int quality = 90;        // JPEG
    bool topDown = false;    // BMP rows stored from the top
    int bmpBits = 24;        // BMP: 8 (palette), 24 or 32
};

// Each returns false if the file could not be written.
bool writeJpeg(const std::string& path, int width, int height, const PixelAt& pixel,
               const PictureOptions& options = {});
bool writePng(const std::string& path, int width, int height, const PixelAt& pixel, const PictureOptions& options = {});
bool writeGif(const std::string& path, int width, int height, const PixelAt& pixel, const PictureOptions& options = {});
bool writeBmp(const std::string& path, int width, int height, const PixelAt& pixel, const PictureOptions& options = {});

// Writes by format name: "jpeg", "png", "gif" or "bmp".
bool writePicture(const std::string& format, const std::string& path, int width, int height, const PixelAt& pixel,
                  const PictureOptions& options = {});

// Small files whose headers claim width x height pixels, followed by a little
// of what would come next: a PNG (IHDR with a good checksum and a short IDAT),
// a baseline JPEG (a small picture whose frame header claims the size), a GIF
// (screen and frame descriptors, then a few codes) and a BMP (headers only,
// height counted upward, 24 bits).
bool writeClaim(const std::string& format, const std::string& path, std::uint32_t width, std::uint32_t height);

// Patterns: left half red, right half blue, bottom quarter green (tells the
// channels, left from right and top from bottom apart); and something like a
// photo, smooth colour with fine grain, which compresses as photos do.
PixelAt halves(int width, int height);
PixelAt photo(int width, int height);

} // namespace testing_support
