// The CPU box filter behind the mipmap chain.
#include "gl/MipmapChain.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Pixel = std::array<std::uint8_t, 4>;

std::vector<std::uint8_t> image(const std::vector<Pixel>& pixels)
{
    std::vector<std::uint8_t> bytes;
    for (const Pixel& p : pixels)
        bytes.insert(bytes.end(), p.begin(), p.end());
    return bytes;
}

Pixel pixelAt(const MipmapLevel& level, int x, int y)
{
    const std::uint8_t* p = level.pixels.data() + (static_cast<std::size_t>(y) * level.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

TEST(MipmapChain, LetterBlockChainHalvesDownToOnePixel)
{
    std::vector<std::uint8_t> level0(128 * 768 * 4, 200);
    const auto chain = buildMipmapChain(level0.data(), 128, 768);
    const std::array<std::array<int, 2>, 9> expected{
        {{64, 384}, {32, 192}, {16, 96}, {8, 48}, {4, 24}, {2, 12}, {1, 6}, {1, 3}, {1, 1}}};
    ASSERT_EQ(chain.size(), expected.size());
    for (std::size_t i = 0; i < chain.size(); ++i) {
        EXPECT_EQ(chain[i].width, expected[i][0]) << "level " << i + 1;
        EXPECT_EQ(chain[i].height, expected[i][1]) << "level " << i + 1;
        EXPECT_EQ(pixelAt(chain[i], 0, 0), (Pixel{200, 200, 200, 200}));
    }
    EXPECT_TRUE(buildMipmapChain(level0.data(), 1, 1).empty());
}

TEST(MipmapChain, TwoByTwoMeansPerChannelRoundedWithoutCarry)
{
    // Channel sums up to 4 * 255 must not spill into the next channel.
    const auto source = image({{255, 0, 1, 255}, {255, 0, 2, 255}, {255, 0, 2, 0}, {253, 0, 2, 0}});
    const MipmapLevel out = halveLevel(source.data(), 2, 2);
    ASSERT_EQ(out.width, 1);
    ASSERT_EQ(out.height, 1);
    EXPECT_EQ(pixelAt(out, 0, 0), (Pixel{255, 0, 2, 128})); // 1018/4, 7/4, 510/4, all rounded
}

TEST(MipmapChain, OddSideFoldsItsLastPixelIn)
{
    // 3 x 1 -> 1 x 1: all three count; 5 x 2 -> 2 x 1: the last output takes three columns.
    const auto three = image({{30, 0, 0, 255}, {60, 0, 0, 255}, {90, 0, 0, 255}});
    EXPECT_EQ(pixelAt(halveLevel(three.data(), 3, 1), 0, 0), (Pixel{60, 0, 0, 255}));

    const auto five = image({{10, 0, 0, 0},
                             {20, 0, 0, 0},
                             {100, 0, 0, 0},
                             {100, 0, 0, 0},
                             {100, 0, 0, 0},
                             {10, 0, 0, 0},
                             {20, 0, 0, 0},
                             {40, 0, 0, 0},
                             {40, 0, 0, 0},
                             {40, 0, 0, 0}});
    const MipmapLevel out = halveLevel(five.data(), 5, 2);
    ASSERT_EQ(out.width, 2);
    EXPECT_EQ(pixelAt(out, 0, 0)[0], 15);
    EXPECT_EQ(pixelAt(out, 1, 0)[0], 70);
}

TEST(MipmapChain, RowsStayInOrder)
{
    // Top half black, bottom half white: level 1 keeps black on top.
    std::vector<Pixel> pixels(4 * 4, Pixel{0, 0, 0, 255});
    for (int i = 8; i < 16; ++i)
        pixels[i] = {255, 255, 255, 255};
    const auto source = image(pixels);
    const MipmapLevel out = halveLevel(source.data(), 4, 4);
    EXPECT_EQ(pixelAt(out, 1, 0), (Pixel{0, 0, 0, 255}));
    EXPECT_EQ(pixelAt(out, 1, 1), (Pixel{255, 255, 255, 255}));
}

} // namespace
