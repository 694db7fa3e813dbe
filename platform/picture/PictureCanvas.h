// Where a decoder puts a picture: 32-bit premultiplied ARGB pixels no larger
// than the splash needs, for any drawing library to wrap. The splash is stretched over the window, so a picture larger
// than the cover size in one direction is reduced in that direction by a whole
// factor, to no less than enough() of the cover size and less than twice that
// (a stretch by up to a sixteenth more cannot be seen). Rows that
// arrive top to bottom are averaged over each block of pixels; pixels that
// arrive in any other order (interlaced files) are sampled, one a block.
// Memory: the reduced surface, one source row and one row of sums.
#pragma once

#include "platform/Status.h"

#include <bit>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// A finished picture: rows from the top down, each pixel a word 0xAARRGGBB
// with premultiplied alpha (the bytes blue, green, red, alpha), rows packed
// at 4 * width bytes. Empty (no pixels) when decoding failed.
struct PicturePixels {
    int width = 0;
    int height = 0;
    std::unique_ptr<std::uint32_t[]> pixels;

    int stride() const { return width * 4; }
};

static_assert(std::endian::native == std::endian::little, "pixels are read as 0xAARRGGBB words");

class PictureCanvas {
public:
    // What a picture may claim to be: larger ones are refused before any
    // pixel is allocated.
    static constexpr std::uint64_t maxPixels = 100'000'000;
    static constexpr std::int64_t maxSide = 1'000'000;

    static bool fits(std::int64_t width, std::int64_t height)
    {
        return width > 0 && height > 0 && width <= maxSide && height <= maxSide &&
               static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <= maxPixels;
    }

    enum class Order { TopDown, Any };

    PictureCanvas(int coverWidth, int coverHeight);
    ~PictureCanvas();
    PictureCanvas(const PictureCanvas&) = delete;
    PictureCanvas& operator=(const PictureCanvas&) = delete;

    int coverWidth() const { return cover[0]; }
    int coverHeight() const { return cover[1]; }
    // The least length that still covers `length` when stretched over it.
    static int enough(int length) { return length - length / 16; }

    // Makes the reduced surface for a width x height picture. OutOfMemory for
    // a size that does not fit() or memory that cannot be had. `opaque` says
    // every alpha will be 255, which spares premultiplying.
    Status begin(int width, int height, bool opaque, Order order);

    // Whole rows: row(y) is where the `width` pixels of row y go, as words
    // 0xAARRGGBB with straight alpha (the bytes blue, green, red, alpha), and
    // commit(y) takes them. In TopDown order every row must come, in order; in
    // Any order only the rows wanted() are looked at.
    std::uint32_t* row(int y) { return direct ? outputRow(y) : scratch.data(); }
    void commit(int y);
    bool wanted(int y) const
    {
        return direct || order == Order::TopDown || (y % factor[1] == 0 && y / factor[1] < size[1]);
    }

    // Single pixels in any order (Order::Any): kept when they are a block's sample.
    void put(int x, int y, std::uint32_t argb)
    {
        if (x % factor[0] == 0 && y % factor[1] == 0 && x / factor[0] < size[0] && y / factor[1] < size[1])
            outputRow(y / factor[1])[x / factor[0]] = premultiplied(argb);
    }

    // The reduced size, for tests and decoders that sample.
    int width() const { return size[0]; }
    int height() const { return size[1]; }
    int factorX() const { return factor[0]; }
    int factorY() const { return factor[1]; }

    // The finished picture, handed over to the caller.
    PicturePixels finish();

    static std::uint32_t premultiplied(std::uint32_t argb)
    {
        const std::uint32_t alpha = argb >> 24;
        if (alpha == 255)
            return argb;
        const auto scale = [alpha](std::uint32_t channel) {
            const std::uint32_t product = channel * alpha + 128;
            return (product + (product >> 8)) >> 8;
        };
        return alpha << 24 | scale(argb >> 16 & 0xff) << 16 | scale(argb >> 8 & 0xff) << 8 | scale(argb & 0xff);
    }

private:
    std::uint32_t* outputRow(int y) { return output.pixels.get() + static_cast<std::size_t>(y) * size[0]; }
    void accumulate(const std::uint32_t* source);
    void emitBand();

    int cover[2];
    int source[2] = {0, 0};
    int size[2] = {0, 0};
    int factor[2] = {1, 1};
    bool opaque = true;
    bool direct = false;
    Order order = Order::TopDown;
    PicturePixels output;
    std::vector<std::uint32_t> scratch; // one source row
    std::vector<std::uint64_t> sums;    // blue, green, red, alpha sums of the band's blocks
    int band = 0;                       // the output row the sums belong to
    int bandRows = 0;                   // source rows summed into it so far
};

} // namespace platform
