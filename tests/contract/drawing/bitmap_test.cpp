// The in-memory bitmap and fills on every drawing library: pixel bytes and
// order as the GL upload reads them, the lock's failure cases, and a picture
// file's pixels handed through unchanged.
#include "tests/contract/drawing/DrawingSide.h"

#include "platform/draw/Bitmap.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/SolidBrush.h"
#include "platform/picture/PictureReader.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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

TEST(Bitmap, FillsComeOutAsPremultipliedBlueGreenRedAlphaTopDown)
{
    Bitmap bitmap(128, 64);
    platform::Graphics graphics(&bitmap);
    platform::SolidBrush red(0xFFFF0000), green(0xFF00FF00), blue(0xFF0000FF), halfRed(0x80FF0000);
    EXPECT_EQ(graphics.fillRectangle(&red, 0, 0, 128, 1), Status::Ok);
    graphics.fillRectangle(&green, 0, 1, 128, 1);
    graphics.fillRectangle(&blue, 100, 63, 28, 1);
    graphics.fillRectangle(&halfRed, 0, 30, 1, 1);
    // Locked while the Graphics still exists, as the painters upload.
    BitmapData data;
    ASSERT_EQ(bitmap.lockBits({0, 0, 128, 64}, &data), Status::Ok);
    EXPECT_EQ(bytesAt(data, 5, 0), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_EQ(bytesAt(data, 5, 1), (std::array<int, 4>{0, 255, 0, 255}));
    EXPECT_EQ(bytesAt(data, 99, 63), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(bytesAt(data, 100, 63), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(bytesAt(data, 0, 30), (std::array<int, 4>{0, 0, 128, 128}));
    bitmap.unlockBits(&data);
}

TEST(Bitmap, PartialLockGivesPackedRowsOfThatRectangle)
{
    Bitmap bitmap(16, 8);
    platform::Graphics graphics(&bitmap);
    platform::SolidBrush white(0xFFFFFFFF), red(0xFFFF0000);
    graphics.fillRectangle(&white, 0, 0, 16, 8);
    graphics.fillRectangle(&red, 5, 3, 1, 1);
    for (const int height : {2, 4}) {
        SCOPED_TRACE(height);
        BitmapData data;
        ASSERT_EQ(bitmap.lockBits({4, 2, 3, height}, &data), Status::Ok);
        EXPECT_EQ(data.width, 3u);
        EXPECT_EQ(data.height, static_cast<unsigned>(height));
        EXPECT_EQ(data.stride, 12);
        EXPECT_EQ(bytesAt(data, 1, 1), (std::array<int, 4>{0, 0, 255, 255}));
        EXPECT_EQ(bytesAt(data, 0, 0), (std::array<int, 4>{255, 255, 255, 255}));
        EXPECT_EQ(bytesAt(data, 2, height - 1), (std::array<int, 4>{255, 255, 255, 255}));
        bitmap.unlockBits(&data);
    }
}

TEST(Bitmap, LockFailuresKeepTheirStatus)
{
    Bitmap bitmap(128, 64);
    BitmapData data, second;
    ASSERT_EQ(bitmap.lockBits({0, 0, 128, 64}, &data), Status::Ok);
    EXPECT_EQ(bitmap.lockBits({0, 0, 128, 64}, &second), Status::WrongState) << "locked twice";
    EXPECT_EQ(second.scan0, nullptr);
    EXPECT_EQ(bitmap.getLastStatus(), Status::WrongState);
    {
        // Drawing into locked pixels is refused too.
        platform::Graphics graphics(&bitmap);
        platform::SolidBrush red(0xFFFF0000);
        EXPECT_EQ(graphics.fillRectangle(&red, 0, 0, 1, 1), Status::ObjectBusy) << "drawing into a locked bitmap";
        EXPECT_EQ(graphics.getLastStatus(), Status::ObjectBusy);
    }
    EXPECT_EQ(bitmap.unlockBits(&data), Status::Ok);
    EXPECT_EQ(data.scan0, nullptr);
    EXPECT_EQ(bitmap.unlockBits(&data), Status::WrongState) << "unlocked twice";
    for (const platform::Rect outside :
         {platform::Rect{0, 0, 129, 64}, platform::Rect{0, 1, 128, 64}, platform::Rect{-1, 0, 10, 10},
          platform::Rect{120, 60, 9, 4}, platform::Rect{0, 0, 0, 64}, platform::Rect{0, 0, 0, 10},
          platform::Rect{0, 0, 10, -1}}) {
        SCOPED_TRACE(testing::Message() << outside.x << "," << outside.y << " " << outside.width << "x"
                                        << outside.height);
        EXPECT_EQ(bitmap.lockBits(outside, &data), Status::InvalidParameter);
    }
    EXPECT_EQ(bitmap.lockBits({0, 0, 128, 64}, nullptr), Status::InvalidParameter);
    ASSERT_EQ(bitmap.lockBits({0, 0, 128, 64}, &data), Status::Ok) << "a failed lock leaves it unlocked";
    bitmap.unlockBits(&data);
}

TEST(Bitmap, ImpossibleSizeGivesAnEmptyBitmap)
{
    std::vector<std::pair<int, int>> sizes = {{128, -4}, {0, 64}, {0, 10}, {10, -1}};
    // Longer than the library's longest side, where it has one.
    if (const std::optional<int> longest = drawing_side::longestSide(); longest && *longest < (1 << 20))
        sizes.emplace_back(128, 1 << 20);
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(testing::Message() << width << "x" << height);
        Bitmap bitmap(width, height);
        // Too big for memory may fail as such; a size that is no size is a bad parameter.
        if (width > 0 && height > 0) {
            EXPECT_NE(bitmap.getLastStatus(), Status::Ok);
        } else {
            EXPECT_EQ(bitmap.getLastStatus(), Status::InvalidParameter);
        }
        EXPECT_EQ(bitmap.getWidth(), 0u);
        EXPECT_EQ(bitmap.getHeight(), 0u);
        BitmapData data;
        EXPECT_EQ(bitmap.lockBits({0, 0, 1, 1}, &data), Status::InvalidParameter);
        platform::Graphics graphics(&bitmap);
        EXPECT_EQ(graphics.getLastStatus(), Status::InvalidParameter);
        platform::SolidBrush red(0xFFFF0000);
        EXPECT_EQ(graphics.fillRectangle(&red, 0, 0, 1, 1), Status::InvalidParameter);
        EXPECT_EQ(graphics.getLastStatus(), Status::InvalidParameter);
    }
}

// A file in the temporary folder, removed with the object.
struct TemporaryFile {
    std::string path;
    explicit TemporaryFile(const char* name)
    {
        static int serial = 0;
        path = (std::filesystem::temp_directory_path() /
                (std::string("zindle_") + name + "." + std::to_string(std::rand()) + std::to_string(++serial)))
                   .string();
    }
    ~TemporaryFile() { std::remove(path.c_str()); }
};

// A 24-bit BMP stored bottom-up, rows padded to four bytes.
std::vector<std::uint8_t> bmpFile(int width, int height, std::uint32_t (*colour)(int x, int y))
{
    const int rowBytes = (width * 3 + 3) & ~3;
    const std::uint32_t imageBytes = static_cast<std::uint32_t>(rowBytes * height);
    std::vector<std::uint8_t> file(54 + imageBytes, 0);
    const auto put32 = [&file](std::size_t at, std::uint32_t value) {
        for (std::size_t i = 0; i < 4; ++i)
            file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    file[0] = 'B', file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    file[26] = 1;
    file[28] = 24;
    put32(34, imageBytes);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t argb = colour(x, y);
            std::uint8_t* p = file.data() + 54 + static_cast<std::size_t>(height - 1 - y) * rowBytes + 3 * x;
            p[0] = static_cast<std::uint8_t>(argb), p[1] = static_cast<std::uint8_t>(argb >> 8);
            p[2] = static_cast<std::uint8_t>(argb >> 16);
        }
    return file;
}

bool writeFile(const std::string& path, const void* bytes, std::size_t size)
{
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        return false;
    const bool written = std::fwrite(bytes, 1, size, out) == size;
    return std::fclose(out) == 0 && written;
}

TEST(Bitmap, PictureReadersPixelsComeOutUnchanged)
{
    constexpr int width = 37, height = 20; // rows padded in the file
    const auto colour = [](int x, int y) -> std::uint32_t {
        return 0xFF000000u | static_cast<std::uint32_t>(x * 6) << 16 | static_cast<std::uint32_t>(y * 12) << 8 |
               static_cast<std::uint32_t>((x + y) & 1 ? 0xC0 : 0x10);
    };
    TemporaryFile picture("picture.bmp");
    const std::vector<std::uint8_t> bytes = bmpFile(width, height, colour);
    ASSERT_TRUE(writeFile(picture.path, bytes.data(), bytes.size()));

    platform::PicturePixels read;
    ASSERT_EQ(platform::readPicture(picture.path.c_str(), 1024, 768, read), Status::Ok);
    ASSERT_EQ(read.width, width);
    ASSERT_EQ(read.height, height);

    Bitmap bitmap(picture.path.c_str());
    ASSERT_EQ(bitmap.getLastStatus(), Status::Ok);
    ASSERT_EQ(bitmap.getWidth(), static_cast<unsigned>(width));
    ASSERT_EQ(bitmap.getHeight(), static_cast<unsigned>(height));
    BitmapData data;
    ASSERT_EQ(bitmap.lockBits({0, 0, width, height}, &data), Status::Ok);
    EXPECT_EQ(data.stride, width * 4);
    EXPECT_EQ(std::memcmp(data.scan0, read.pixels.get(), static_cast<std::size_t>(width) * height * 4), 0);
    EXPECT_EQ(bytesAt(data, 3, 2), (std::array<int, 4>{0xC0, 24, 18, 255}));
    bitmap.unlockBits(&data);

    // Part of it, as the window's drawing may lock it.
    ASSERT_EQ(bitmap.lockBits({10, 5, 4, 3}, &data), Status::Ok);
    EXPECT_EQ(bytesAt(data, 1, 2), (std::array<int, 4>{0x10, 7 * 12, 11 * 6, 255}));
    bitmap.unlockBits(&data);
}

TEST(Bitmap, UnreadablePictureGivesAnEmptyBitmap)
{
    TemporaryFile missing("missing");
    Bitmap bitmap(missing.path.c_str());
    EXPECT_EQ(bitmap.getLastStatus(), Status::FileNotFound);
    EXPECT_EQ(bitmap.getWidth(), 0u);

    TemporaryFile text("text");
    const char notPicture[] = "not a picture at all";
    ASSERT_TRUE(writeFile(text.path, notPicture, sizeof notPicture - 1));
    Bitmap notABitmap(text.path.c_str());
    EXPECT_EQ(notABitmap.getLastStatus(), Status::UnknownImageFormat);
    BitmapData data;
    EXPECT_EQ(notABitmap.lockBits({0, 0, 1, 1}, &data), Status::InvalidParameter);
}

} // namespace
