#include "gl/MipmapChain.h"

#include <algorithm>

namespace {

// Source span [first, last) that output index i of a halved side covers.
struct Span {
    int first;
    int last;
};

Span sourceSpan(int i, int outSize, int inSize) {
    const int first = std::min(2 * i, inSize - 1);
    int last = std::min(2 * i + 2, inSize);
    if (i == outSize - 1)
        last = inSize;  // an odd side's leftover pixel joins the last output
    return {first, last};
}

} // namespace

MipmapLevel halveLevel(const std::uint8_t* pixels, int width, int height) {
    MipmapLevel out;
    out.width = std::max(1, width / 2);
    out.height = std::max(1, height / 2);
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 4);
    const bool plainTwoByTwo = width % 2 == 0 && height % 2 == 0;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    std::uint8_t* target = out.pixels.data();

    for (int y = 0; y < out.height; ++y) {
        const Span rows = sourceSpan(y, out.height, height);
        for (int x = 0; x < out.width; ++x, target += 4) {
            if (plainTwoByTwo) {
                // The common case, kept free of spans: 2 x 2 pixels, rounded.
                const std::uint8_t* a = pixels + static_cast<std::size_t>(2 * y) * rowBytes + 8 * x;
                const std::uint8_t* b = a + rowBytes;
                for (int c = 0; c < 4; ++c)
                    target[c] = static_cast<std::uint8_t>((a[c] + a[c + 4] + b[c] + b[c + 4] + 2) / 4);
                continue;
            }
            const Span columns = sourceSpan(x, out.width, width);
            unsigned sums[4] = {0, 0, 0, 0};
            for (int sy = rows.first; sy < rows.last; ++sy)
                for (int sx = columns.first; sx < columns.last; ++sx)
                    for (int c = 0; c < 4; ++c)
                        sums[c] += pixels[static_cast<std::size_t>(sy) * rowBytes + 4 * sx + c];
            const unsigned count = static_cast<unsigned>((rows.last - rows.first) * (columns.last - columns.first));
            for (int c = 0; c < 4; ++c)
                target[c] = static_cast<std::uint8_t>((sums[c] + count / 2) / count);
        }
    }
    return out;
}

std::vector<MipmapLevel> buildMipmapChain(const std::uint8_t* level0, int width, int height) {
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
