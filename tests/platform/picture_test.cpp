// Pictures decoded from files: colours and orientation of real JPEG, PNG and
// BMP files written here with SDL2_image, and every kind of bad file giving an
// empty picture with a status, never a crash.
#include "platform/Bitmap.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using platform::Bitmap;
using platform::Status;

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zindle-picture-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(folder, fs::perms::owner_all, ignored);
        fs::remove_all(folder, ignored);
    }

    std::string path(const std::string& name) const { return (folder / name).string(); }

    // Left half red, right half blue, a green bottom quarter: tells the
    // channels, left from right and top from bottom apart.
    SDL_Surface* makePicture(int width, int height)
    {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
        const auto color = [surface](Uint8 r, Uint8 g, Uint8 b) { return SDL_MapRGBA(surface->format, r, g, b, 255); };
        SDL_Rect left{0, 0, width / 2, height}, right{width / 2, 0, width - width / 2, height};
        SDL_Rect bottom{0, height * 3 / 4, width, height - height * 3 / 4};
        SDL_FillRect(surface, &left, color(255, 0, 0));
        SDL_FillRect(surface, &right, color(0, 0, 255));
        SDL_FillRect(surface, &bottom, color(0, 255, 0));
        return surface;
    }

    std::string writeBytes(const std::string& name, const std::string& bytes)
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }

    std::string readBytes(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path folder;
};

// Blue, green, red, alpha bytes of one pixel.
std::array<int, 4> pixelOf(Bitmap& bitmap, int x, int y)
{
    platform::BitmapData data;
    if (bitmap.lockBits({x, y, 1, 1}, &data) != Status::Ok)
        return {-1, -1, -1, -1};
    std::array<int, 4> bgra{data.scan0[0], data.scan0[1], data.scan0[2], data.scan0[3]};
    bitmap.unlockBits(&data);
    return bgra;
}

void expectNear(const std::array<int, 4>& actual, const std::array<int, 4>& expected, int tolerance)
{
    for (int c = 0; c < 4; ++c)
        EXPECT_NEAR(actual[c], expected[c], tolerance) << "byte " << c;
}

void expectRedBlueGreen(Bitmap& picture, int width, int height, int tolerance)
{
    ASSERT_EQ(picture.getWidth(), static_cast<unsigned>(width));
    ASSERT_EQ(picture.getHeight(), static_cast<unsigned>(height));
    expectNear(pixelOf(picture, width / 8, height / 8), {0, 0, 255, 255}, tolerance);
    expectNear(pixelOf(picture, width - 1 - width / 8, height / 8), {255, 0, 0, 255}, tolerance);
    expectNear(pixelOf(picture, width / 2, height - 1 - height / 16), {0, 255, 0, 255}, tolerance);
}

TEST_F(PictureTest, DecodesPngJpegAndBmpWithTheirColours)
{
    SDL_Surface* source = makePicture(64, 48);
    ASSERT_EQ(IMG_SavePNG(source, path("p.png").c_str()), 0) << IMG_GetError();
    ASSERT_EQ(IMG_SaveJPG(source, path("p.jpg").c_str(), 95), 0) << IMG_GetError();
    ASSERT_EQ(SDL_SaveBMP(source, path("p.bmp").c_str()), 0) << SDL_GetError();
    SDL_FreeSurface(source);

    for (const char* name : {"p.png", "p.bmp"}) {
        SCOPED_TRACE(name);
        Bitmap picture(path(name).c_str());
        expectRedBlueGreen(picture, 64, 48, 0);
        EXPECT_EQ(picture.getLastStatus(), Status::Ok);
    }
    Bitmap jpeg(path("p.jpg").c_str());
    expectRedBlueGreen(jpeg, 64, 48, 12);
}

TEST_F(PictureTest, TransparentPngIsPremultiplied)
{
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_FillRect(source, nullptr, SDL_MapRGBA(source->format, 255, 128, 0, 128));
    ASSERT_EQ(IMG_SavePNG(source, path("half.png").c_str()), 0);
    SDL_FreeSurface(source);
    Bitmap picture(path("half.png").c_str());
    expectNear(pixelOf(picture, 1, 1), {0, 64, 128, 128}, 1);
}

TEST_F(PictureTest, ContentDecidesTheFormatNotTheExtension)
{
    SDL_Surface* source = makePicture(32, 32);
    ASSERT_EQ(IMG_SavePNG(source, path("really-a-png.jpg").c_str()), 0);
    SDL_FreeSurface(source);
    Bitmap picture(path("really-a-png.jpg").c_str());
    expectRedBlueGreen(picture, 32, 32, 0);

    Bitmap text(writeBytes("notes.png", "these are not the pixels you are looking for\n").c_str());
    EXPECT_EQ(text.getLastStatus(), Status::UnknownImageFormat);
    EXPECT_EQ(text.getWidth(), 0u);
}

TEST_F(PictureTest, BadFilesGiveAnEmptyPictureAndAStatus)
{
    SDL_Surface* source = makePicture(64, 64);
    ASSERT_EQ(IMG_SavePNG(source, path("whole.png").c_str()), 0);
    ASSERT_EQ(IMG_SaveJPG(source, path("whole.jpg").c_str(), 90), 0);
    SDL_FreeSurface(source);
    const std::string png = readBytes(path("whole.png"));
    const std::string jpeg = readBytes(path("whole.jpg"));
    std::mt19937 random(7);
    std::string noise(4096, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    fs::create_directory(folder / "folder.jpg");

    const struct {
        std::string file;
        Status status;
    } cases[] = {
        {path("missing.jpg"), Status::FileNotFound},
        {path("no-such-folder/wumbly.jpg"), Status::FileNotFound},
        {path("folder.jpg"), Status::AccessDenied},
        {writeBytes("empty.jpg", ""), Status::UnknownImageFormat},
        {writeBytes("truncated.png", png.substr(0, png.size() / 2)), Status::UnknownImageFormat},
        {writeBytes("header-only.png", png.substr(0, 8)), Status::UnknownImageFormat},
        // libjpeg alone would pad a cut-off JPEG with grey rows and call it a picture.
        {writeBytes("truncated.jpg", jpeg.substr(0, jpeg.size() * 3 / 4)), Status::UnknownImageFormat},
        {writeBytes("truncated-early.jpg", jpeg.substr(0, 300)), Status::UnknownImageFormat},
        {writeBytes("noise.jpg", noise), Status::UnknownImageFormat},
    };
    for (const auto& bad : cases) {
        SCOPED_TRACE(bad.file);
        Bitmap picture(bad.file.c_str());
        EXPECT_EQ(picture.getLastStatus(), bad.status);
        EXPECT_EQ(picture.getWidth(), 0u);
        EXPECT_EQ(picture.getHeight(), 0u);
        platform::BitmapData data;
        EXPECT_NE(picture.lockBits({0, 0, 1, 1}, &data), Status::Ok);
        EXPECT_EQ(data.scan0, nullptr);
    }
    Bitmap none(nullptr);
    EXPECT_EQ(none.getWidth(), 0u);
}

TEST_F(PictureTest, UnreadableFileIsAccessDenied)
{
    SDL_Surface* source = makePicture(8, 8);
    ASSERT_EQ(IMG_SavePNG(source, path("locked.png").c_str()), 0);
    SDL_FreeSurface(source);
    fs::permissions(path("locked.png"), fs::perms::none);
    if (access(path("locked.png").c_str(), R_OK) == 0)
        GTEST_SKIP() << "this user (root?) can read a file with no permissions; nothing to test";
    Bitmap picture(path("locked.png").c_str());
    EXPECT_EQ(picture.getLastStatus(), Status::AccessDenied);
    EXPECT_EQ(picture.getWidth(), 0u);
}

TEST_F(PictureTest, LargePhotoDecodes)
{
    // A camera-sized splash picture, 6000 x 4000.
    SDL_Surface* source = makePicture(6000, 4000);
    ASSERT_NE(source, nullptr);
    ASSERT_EQ(IMG_SaveJPG(source, path("photo.jpg").c_str(), 80), 0);
    SDL_FreeSurface(source);
    Bitmap photo(path("photo.jpg").c_str());
    expectRedBlueGreen(photo, 6000, 4000, 12);
}

} // namespace
