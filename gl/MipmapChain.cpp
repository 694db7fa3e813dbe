#include "gl/MipmapChain.h"

#include <algorithm>
#include <cstring>

namespace {

// Source span [first, last) that output index i of a halved side covers.
struct Span {
    int first;
    int last;
};

Span sourceSpan(int i, int outSize, int inSize)
{
    const int first = std::min(2 * i, inSize - 1);
    int last = std::min(2 * i + 2, inSize);
    if (i == outSize - 1)
        last = inSize; // an odd side's leftover pixel joins the last output
    return {first, last};
}

// The common case: both sides even, every output pixel the rounded mean of
// exactly 2 x 2. Two neighbouring pixels are read as one 64-bit word per row
// and the channels summed in 16-bit lanes, two at a time, so that no sum can
// carry into its neighbour.
void halveEvenLevel(const std::uint8_t* pixels, int width, MipmapLevel& out)
{
    constexpr std::uint64_t evenBytes = 0x00FF00FF00FF00FFu;
    const std::size_t inRowBytes = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t* top = pixels + 2 * static_cast<std::size_t>(y) * inRowBytes;
        const std::uint8_t* bottom = top + inRowBytes;
        std::uint8_t* target = out.pixels.data() + static_cast<std::size_t>(y) * out.width * 4;
        for (int x = 0; x < out.width; ++x, top += 8, bottom += 8, target += 4) {
            std::uint64_t upper = 0, lower = 0;
            std::memcpy(&upper, top, 8);
            std::memcpy(&lower, bottom, 8);
            // Lanes of bytes 0 and 2, and of bytes 1 and 3, of both pixels.
            const std::uint64_t evens = (upper & evenBytes) + (lower & evenBytes);
            const std::uint64_t odds = ((upper >> 8) & evenBytes) + ((lower >> 8) & evenBytes);
            const std::uint64_t evenSum = (evens & 0xFFFFFFFFu) + (evens >> 32) + 0x00020002u;
            const std::uint64_t oddSum = (odds & 0xFFFFFFFFu) + (odds >> 32) + 0x00020002u;
            const auto mean =
                static_cast<std::uint32_t>(((evenSum >> 2) & 0x00FF00FFu) | (((oddSum >> 2) & 0x00FF00FFu) << 8));
            std::memcpy(target, &mean, 4);
        }
    }
}

void halveAnyLevel(const std::uint8_t* pixels, int width, int height, MipmapLevel& out)
{
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    std::uint8_t* target = out.pixels.data();
    for (int y = 0; y < out.height; ++y) {
        const Span rows = sourceSpan(y, out.height, height);
        for (int x = 0; x < out.width; ++x, target += 4) {
            const Span columns = sourceSpan(x, out.width, width);
            unsigned sums[4] = {0, 0, 0, 0};
            for (int sy = rows.first; sy < rows.last; ++sy)
                for (int sx = columns.first; sx < columns.last; ++sx)
                    for (int c = 0; c < 4; ++c)
                        sums[c] += pixels[static_cast<std::size_t>(sy) * rowBytes + std::size_t{4} * sx + c];
            const unsigned count = static_cast<unsigned>((rows.last - rows.first) * (columns.last - columns.first));
            for (int c = 0; c < 4; ++c)
                // NOLINTNEXTLINE(clang-analyzer-core.DivideZero): every span holds a source pixel
                target[c] = static_cast<std::uint8_t>((sums[c] + count / 2) / count);
        }
    }
}

} // namespace

MipmapLevel halveLevel(const std::uint8_t* pixels, int width, int height)
{
    MipmapLevel out;
    out.width = std::max(1, width / 2);
    out.height = std::max(1, height / 2);
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 4);
    if (width % 2 == 0 && height % 2 == 0)
        halveEvenLevel(pixels, width, out);
    else
        halveAnyLevel(pixels, width, height, out);
    return out;
}

std::vector<MipmapLevel> buildMipmapChain(const std::uint8_t* level0, int width, int height)
{
    std::vector<MipmapLevel> chain;
    chain.reserve(32);
    const std::uint8_t* source = level0;
    while (width > 1 || height > 1) {
        chain.push_back(halveLevel(source, width, height));
        source = chain.back().pixels.data();
        width = chain.back().width;
        height = chain.back().height;
    }
    return chain;
}
