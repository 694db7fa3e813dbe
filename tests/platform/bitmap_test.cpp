// The in-memory bitmap and fills: pixel bytes and order as the GL upload
// reads them, and the lock's failure cases.
#include "platform/draw/Bitmap.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/SolidBrush.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using platform::Bitmap;
using platform::BitmapData;
using platform::Status;

std::array<int, 4> bytesAt(const BitmapData& data, int x, int y)
{
    const std::uint8_t* p = data.scan0 + y * data.stride + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

TEST(Bitmap, NewBitmapIsTransparentAndPacked)
{
    Bitmap bitmap(128, 768);
    EXPECT_EQ(bitmap.getWidth(), 128u);
    EXPECT_EQ(bitmap.getHeight(), 768u);
    BitmapData data;
    ASSERT_EQ(bitmap.lockBits({0, 0, 128, 768}, &data), Status::Ok);
    EXPECT_EQ(data.width, 128u);
    EXPECT_EQ(data.height, 768u);
    EXPECT_EQ(data.stride, 512);
    EXPECT_EQ(bytesAt(data, 0, 0), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(bytesAt(data, 127, 767), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(bitmap.unlockBits(&data), Status::Ok);
}

TEST(Bitmap, FillsComeOutAsBlueGreenRedAlphaTopDown)
{
    Bitmap bitmap(128, 64);
    platform::Graphics graphics(&bitmap);
    platform::SolidBrush red(0xFFFF0000), green(0xFF00FF00), blue(0xFF0000FF);
    graphics.fillRectangle(&red, 0, 0, 128, 1);
    graphics.fillRectangle(&green, 0, 1, 128, 1);
    graphics.fillRectangle(&blue, 100, 63, 28, 1);
    // Locked while the Graphics still exists, as the painters upload.
    BitmapData data;
    ASSERT_EQ(bitmap.lockBits({0, 0, 128, 64}, &data), Status::Ok);
    EXPECT_EQ(bytesAt(data, 5, 0), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_EQ(bytesAt(data, 5, 1), (std::array<int, 4>{0, 255, 0, 255}));
    EXPECT_EQ(bytesAt(data, 99, 63), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(bytesAt(data, 100, 63), (std::array<int, 4>{255, 0, 0, 255}));
    bitmap.unlockBits(&data);
}

TEST(Bitmap, PartialLockGivesPackedRowsOfThatRectangle)
{
    Bitmap bitmap(16, 8);
    platform::Graphics graphics(&bitmap);
    platform::SolidBrush white(0xFFFFFFFF), red(0xFFFF0000);
    graphics.fillRectangle(&white, 0, 0, 16, 8);
    graphics.fillRectangle(&red, 5, 3, 1, 1);
    BitmapData data;
    ASSERT_EQ(bitmap.lockBits({4, 2, 3, 2}, &data), Status::Ok);
    EXPECT_EQ(data.stride, 12);
    EXPECT_EQ(bytesAt(data, 1, 1), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_EQ(bytesAt(data, 0, 0), (std::array<int, 4>{255, 255, 255, 255}));
    bitmap.unlockBits(&data);
}

TEST(Bitmap, LockFailuresKeepTheirStatus)
{
    Bitmap bitmap(128, 64);
    BitmapData first, second;
    ASSERT_EQ(bitmap.lockBits({0, 0, 128, 64}, &first), Status::Ok);
    EXPECT_EQ(bitmap.lockBits({0, 0, 128, 64}, &second), Status::WrongState);
    EXPECT_EQ(second.scan0, nullptr);
    EXPECT_EQ(bitmap.getLastStatus(), Status::WrongState);
    // Drawing into locked pixels is refused too.
    platform::Graphics graphics(&bitmap);
    platform::SolidBrush white(0xFFFFFFFF);
    EXPECT_NE(graphics.fillRectangle(&white, 0, 0, 1, 1), Status::Ok);
    EXPECT_EQ(bitmap.unlockBits(&first), Status::Ok);
    EXPECT_EQ(bitmap.unlockBits(&first), Status::WrongState);

    for (platform::Rect outside : {platform::Rect{0, 0, 129, 64}, platform::Rect{0, 1, 128, 64},
                                   platform::Rect{-1, 0, 10, 10}, platform::Rect{0, 0, 0, 64}}) {
        EXPECT_EQ(bitmap.lockBits(outside, &second), Status::InvalidParameter)
            << outside.x << "," << outside.y << " " << outside.width << "x" << outside.height;
    }
    EXPECT_EQ(bitmap.lockBits({0, 0, 128, 64}, &second), Status::Ok) << "failed locks leave it unlocked";
    bitmap.unlockBits(&second);
}

TEST(Bitmap, ImpossibleSizeGivesAnEmptyBitmap)
{
    for (auto size : {std::array<int, 2>{128, -4}, std::array<int, 2>{0, 64}, std::array<int, 2>{128, 1 << 20}}) {
        Bitmap bitmap(size[0], size[1]);
        EXPECT_NE(bitmap.getLastStatus(), Status::Ok);
        EXPECT_EQ(bitmap.getWidth(), 0u);
        BitmapData data;
        EXPECT_NE(bitmap.lockBits({0, 0, 1, 1}, &data), Status::Ok);
        platform::Graphics graphics(&bitmap);
        platform::SolidBrush white(0xFFFFFFFF);
        EXPECT_NE(graphics.fillRectangle(&white, 0, 0, 1, 1), Status::Ok);
        EXPECT_NE(graphics.getLastStatus(), Status::Ok);
    }
}

} // namespace
