// Pictures decoded from files: every format keeps its colours and
// orientation; large pictures are decoded reduced, to no less than the area
// they will be stretched over, with memory that stays small; and every kind of
// bad file (cut short, hostile headers, things that are not files) gives an
// empty picture with a status, quickly, quietly and without large allocations.
#include "platform/draw/Bitmap.h"
#include "tests/support/fixtures/PictureWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using platform::Bitmap;
using platform::Status;
using testing_support::PictureOptions;

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

    std::string writeBytes(const std::string& name, const std::string& bytes)
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }

    static std::string readBytes(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // Writes a picture of the halves pattern; fails the test if it cannot.
    std::string picture(const std::string& format, int width, int height, const PictureOptions& options = {},
                        const std::string& name = "")
    {
        std::string file = path(name.empty() ? "picture." + format : name);
        EXPECT_TRUE(testing_support::writePicture(format, file, width, height, testing_support::halves(width, height),
                                                  options));
        return file;
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

// Red on the left, blue on the right, green across the bottom quarter.
void expectHalves(Bitmap& picture, int width, int height, int tolerance)
{
    ASSERT_EQ(picture.getWidth(), static_cast<unsigned>(width));
    ASSERT_EQ(picture.getHeight(), static_cast<unsigned>(height));
    expectNear(pixelOf(picture, width / 8, height / 8), {0, 0, 255, 255}, tolerance);
    expectNear(pixelOf(picture, width - 1 - width / 8, height / 8), {255, 0, 0, 255}, tolerance);
    expectNear(pixelOf(picture, width / 2, height - 1 - height / 16), {0, 255, 0, 255}, tolerance);
}

// Runs `work` in a child process; how far the child's resident memory rose
// above where it stood when the work began, in megabytes (-1 if the child
// failed or took longer than `seconds`).
double peakGrowthMb(const std::function<void()>& work, int seconds = 60)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        alarm(static_cast<unsigned>(seconds));
        const auto field = [](const char* name) {
            std::ifstream status("/proc/self/status");
            std::string line;
            while (std::getline(status, line))
                if (line.rfind(name, 0) == 0)
                    return std::atol(line.c_str() + std::strlen(name));
            return -1L;
        };
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
        const long before = field("VmRSS:");
        work();
        const long peak = field("VmHWM:");
        const double growth = before < 0 || peak < 0 ? -1 : static_cast<double>(peak - before) / 1024.0;
        if (write(fds[1], &growth, sizeof growth) != sizeof growth)
            _exit(1);
        _exit(0);
    }
    close(fds[1]);
    double growth = -1;
    if (read(fds[0], &growth, sizeof growth) != sizeof growth)
        growth = -1;
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? growth : -1;
}

TEST_F(PictureTest, EveryFormatKeepsItsColoursAndOrientation)
{
    const struct {
        const char* what;
        const char* format;
        PictureOptions options;
        int tolerance;
    } cases[] = {
        {"JPEG", "jpeg", {}, 12},
        {"progressive JPEG", "jpeg", {.interlaced = true}, 12},
        {"PNG", "png", {}, 0},
        {"interlaced PNG", "png", {.interlaced = true}, 0},
        {"PNG with alpha", "png", {.alpha = true}, 0},
        {"GIF", "gif", {}, 0},
        {"interlaced GIF", "gif", {.interlaced = true}, 0},
        {"BMP of 24 bits", "bmp", {}, 0},
        {"BMP stored top down", "bmp", {.topDown = true}, 0},
        {"BMP of 32 bits", "bmp", {.bmpBits = 32}, 0},
        {"BMP of 32 bits with alpha", "bmp", {.alpha = true, .bmpBits = 32}, 0},
        {"BMP of 8 bits", "bmp", {.bmpBits = 8}, 0},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.what);
        Bitmap decoded(picture(each.format, 64, 48, each.options).c_str());
        EXPECT_EQ(decoded.getLastStatus(), Status::Ok);
        expectHalves(decoded, 64, 48, each.tolerance);
    }
}

// A 4x2 BMP of `bits` bits a pixel, run-length encoded, palette: 0 blue, 1 red.
std::string runLengthBmp(int bits, const std::string& data)
{
    std::string bytes = "BM";
    const auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>(value >> (8 * i) & 0xff);
    };
    put(0, 4), put(0, 4), put(14 + 40 + 8, 4);
    put(40, 4), put(4, 4), put(2, 4), put(1, 2), put(static_cast<std::uint32_t>(bits), 2);
    put(bits == 8 ? 1 : 2, 4), put(0, 4), put(0, 4), put(0, 4), put(2, 4), put(0, 4);
    put(0x000000ff, 4), put(0x00ff0000, 4);
    return bytes + data;
}

// Bottom row first: red, then a jump to the end of the row, so the rest stays
// transparent; top row blue, blue, red, red.
const std::string rle8("\x01\x01\x00\x02\x03\x00\x00\x00\x02\x00\x02\x01\x00\x01", 14);
const std::string rle4("\x01\x10\x00\x02\x03\x00\x00\x00\x00\x04\x00\x11\x00\x01", 14);

TEST_F(PictureTest, RunLengthBmpsDecode)
{
    for (const auto& [bits, data] : {std::pair{8, rle8}, std::pair{4, rle4}}) {
        SCOPED_TRACE(bits);
        Bitmap decoded(writeBytes("runs.bmp", runLengthBmp(bits, data)).c_str());
        ASSERT_EQ(decoded.getWidth(), 4u);
        ASSERT_EQ(decoded.getHeight(), 2u);
        expectNear(pixelOf(decoded, 0, 0), {255, 0, 0, 255}, 0);
        expectNear(pixelOf(decoded, 1, 0), {255, 0, 0, 255}, 0);
        expectNear(pixelOf(decoded, 2, 0), {0, 0, 255, 255}, 0);
        expectNear(pixelOf(decoded, 3, 0), {0, 0, 255, 255}, 0);
        expectNear(pixelOf(decoded, 0, 1), {0, 0, 255, 255}, 0);
        expectNear(pixelOf(decoded, 3, 1), {0, 0, 0, 0}, 0);
    }
}

TEST_F(PictureTest, RunLengthRowsThatNeverEndStayInsideThePicture)
{
    // Runs of 255 red pixels, or jumps 255 to the right, 8.5 million of them
    // without an end of row: counted, they would pass INT_MAX columns.
    const std::string runs("\xff\x01", 2);
    const std::string jumps("\x00\x02\xff\x00", 4);
    for (const std::string& each : {runs, jumps}) {
        std::string data;
        data.reserve(8'500'000 * each.size() + 2);
        for (int i = 0; i < 8'500'000; ++i)
            data += each;
        data += std::string("\x00\x01", 2);
        Bitmap decoded(writeBytes("endless.bmp", runLengthBmp(8, data)).c_str());
        ASSERT_EQ(decoded.getLastStatus(), Status::Ok);
        ASSERT_EQ(decoded.getWidth(), 4u);
        expectNear(pixelOf(decoded, 3, 1), each == runs ? std::array{0, 0, 255, 255} : std::array{0, 0, 0, 0}, 0);
        expectNear(pixelOf(decoded, 0, 0), {0, 0, 0, 0}, 0);
    }
}

TEST_F(PictureTest, AGifFrameSitsOnItsScreenWhichIsTransparentElsewhere)
{
    // A 4x4 red frame written as a whole screen, then moved: the screen made
    // 8x8 and the frame put at (3, 2).
    ASSERT_TRUE(testing_support::writeGif(path("frame.gif"), 4, 4, [](int, int) { return 0xffff0000u; }));
    std::string bytes = readBytes(path("frame.gif"));
    const std::size_t descriptor = 13 + 256 * 3; // after the header and the global palette
    ASSERT_EQ(bytes[descriptor], ',');
    bytes[6] = bytes[8] = 8;
    bytes[descriptor + 1] = 3;
    bytes[descriptor + 3] = 2;
    Bitmap decoded(writeBytes("moved.gif", bytes).c_str());
    ASSERT_EQ(decoded.getWidth(), 8u);
    ASSERT_EQ(decoded.getHeight(), 8u);
    expectNear(pixelOf(decoded, 3, 2), {0, 0, 255, 255}, 0);
    expectNear(pixelOf(decoded, 6, 5), {0, 0, 255, 255}, 0);
    expectNear(pixelOf(decoded, 2, 2), {0, 0, 0, 0}, 0);
    expectNear(pixelOf(decoded, 7, 7), {0, 0, 0, 0}, 0);
    expectNear(pixelOf(decoded, 3, 6), {0, 0, 0, 0}, 0);
}

TEST_F(PictureTest, TransparencyIsPremultiplied)
{
    const auto orangeHalfSeen = [](int, int) { return 0x80ff8000u; };
    ASSERT_TRUE(testing_support::writePng(path("half.png"), 4, 4, orangeHalfSeen, {.alpha = true}));
    ASSERT_TRUE(testing_support::writeBmp(path("half.bmp"), 4, 4, orangeHalfSeen, {.alpha = true, .bmpBits = 32}));
    for (const char* name : {"half.png", "half.bmp"}) {
        SCOPED_TRACE(name);
        Bitmap decoded(path(name).c_str());
        expectNear(pixelOf(decoded, 1, 1), {0, 64, 128, 128}, 1);
    }
    // GIF: see-through or not at all.
    const auto leftSeeThrough = [](int x, int) { return x < 2 ? 0x00000000u : 0xffff0000u; };
    ASSERT_TRUE(testing_support::writeGif(path("holes.gif"), 4, 4, leftSeeThrough, {.alpha = true}));
    Bitmap gif(path("holes.gif").c_str());
    expectNear(pixelOf(gif, 0, 0), {0, 0, 0, 0}, 0);
    expectNear(pixelOf(gif, 3, 3), {0, 0, 255, 255}, 0);
}

TEST_F(PictureTest, ContentDecidesTheFormatNotTheExtension)
{
    Bitmap png(picture("png", 32, 32, {}, "really-a-png.jpg").c_str());
    expectHalves(png, 32, 32, 0);
    Bitmap gif(picture("gif", 32, 32, {}, "really-a-gif.png").c_str());
    expectHalves(gif, 32, 32, 0);

    Bitmap text(writeBytes("notes.png", "these are not the pixels you are looking for\n").c_str());
    EXPECT_EQ(text.getLastStatus(), Status::UnknownImageFormat);
    EXPECT_EQ(text.getWidth(), 0u);
}

void expectEmpty(Bitmap& picture, Status status)
{
    EXPECT_EQ(picture.getLastStatus(), status);
    EXPECT_EQ(picture.getWidth(), 0u);
    EXPECT_EQ(picture.getHeight(), 0u);
    platform::BitmapData data;
    EXPECT_NE(picture.lockBits({0, 0, 1, 1}, &data), Status::Ok);
    EXPECT_EQ(data.scan0, nullptr);
}

TEST_F(PictureTest, BadFilesGiveAnEmptyPictureAndAStatusAndSayNothing)
{
    std::mt19937 random(7);
    std::string noise(4096, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    fs::create_directory(folder / "folder.jpg");

    std::vector<std::pair<std::string, Status>> cases = {
        {path("missing.jpg"), Status::FileNotFound},
        {path("no-such-folder/wumbly.jpg"), Status::FileNotFound},
        {path("folder.jpg"), Status::AccessDenied},
        {writeBytes("empty.jpg", ""), Status::UnknownImageFormat},
        {writeBytes("noise.jpg", noise), Status::UnknownImageFormat},
        // Formats the toy does not read, whatever they claim.
        {writeBytes("drawing.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"30000\" height=\"30000\">"
                                   "<rect width=\"30000\" height=\"30000\" fill=\"red\"/></svg>\n"),
         Status::UnknownImageFormat},
        {writeBytes("huge.ppm", "P6\n60000 60000\n255\n" + std::string(64, '\x7f')), Status::UnknownImageFormat},
        {writeBytes("huge.tif", std::string("II*\0\x08\0\0\0", 8) + std::string(64, '\0')), Status::UnknownImageFormat},
    };
    // Every format cut short: inside the header, and inside the pixels. A
    // JPEG would otherwise come out padded with grey rows.
    for (const char* format : {"jpeg", "png", "gif", "bmp"}) {
        const std::string whole = readBytes(picture(format, 64, 64, {.quality = 90}));
        const std::string name = std::string("cut.") + format;
        cases.emplace_back(writeBytes("early-" + name, whole.substr(0, 20)), Status::UnknownImageFormat);
        cases.emplace_back(writeBytes("half-" + name, whole.substr(0, whole.size() * 3 / 4)),
                           Status::UnknownImageFormat);
    }
    for (const auto& [file, status] : cases) {
        SCOPED_TRACE(file);
        ::testing::internal::CaptureStderr();
        {
            Bitmap decoded(file.c_str());
            expectEmpty(decoded, status);
        }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    }
    Bitmap none(nullptr);
    EXPECT_EQ(none.getWidth(), 0u);
}

TEST_F(PictureTest, WhatTheLibrariesWouldWarnAboutIsNotPrinted)
{
    // A PNG whose text chunk fails its checksum, and a JPEG with stray bytes
    // before its end marker: libpng and libjpeg would both warn on stderr.
    std::string png = readBytes(picture("png", 16, 16));
    const std::string text = std::string("\0\0\0\x05tEXtab\0cd\xde\xad\xbe\xef", 17);
    png.insert(33, text); // after the 8-byte signature and the 25-byte IHDR
    std::string jpeg = readBytes(picture("jpeg", 16, 16));
    jpeg.insert(jpeg.size() - 2, "stray bytes");
    for (const auto& [name, bytes] : {std::pair{"noisy.png", png}, std::pair{"noisy.jpg", jpeg}}) {
        SCOPED_TRACE(name);
        ::testing::internal::CaptureStderr();
        {
            Bitmap decoded(writeBytes(name, bytes).c_str());
            EXPECT_EQ(decoded.getWidth(), 16u);
        }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    }
}

TEST_F(PictureTest, PngChunksTheToyDoesNotUseAreSkippedUnread)
{
    // libpng holds a text chunk whole, however long its header says it is
    // (past its limit it only warns): a 40 MB one (its checksum wrong, which
    // libpng also only warns about) after the header of a whole picture.
    std::string png = readBytes(picture("png", 16, 16));
    png.insert(33, std::string("\x02\x80\x00\x00iTXt", 8) + std::string(40 << 20, 'a') + "\xde\xad\xbe\xef");
    const std::string file = writeBytes("long-text.png", png);
    const double growth = peakGrowthMb([&] {
        Bitmap decoded(file.c_str());
        if (decoded.getWidth() != 16)
            _exit(3);
    });
    EXPECT_GE(growth, 0) << "the picture did not decode";
    EXPECT_LT(growth, 16.0) << "megabytes at the peak";
    // Found by the fuzzer: a chunk that claims 905 MB with nothing behind it.
    const std::string claim("\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR\x00\x00\x00\x25\x00\x00\x00\x17\x08\x02\x00\x00"
                            "\x01\x74\x49\x21\x64\x36\x00\x00\x00iTXtH\r\rHH\xcf\xe4\xe5\xd1\x32\xed",
                            52);
    Bitmap refused(writeBytes("claimed-text.png", claim).c_str());
    expectEmpty(refused, Status::UnknownImageFormat);
}

TEST_F(PictureTest, HeadersClaimingMoreThan100MegapixelsAreRefusedBeforeAnyLargeAllocation)
{
    const struct {
        const char* format;
        std::uint32_t width, height;
    } claims[] = {
        {"png", 65535, 65535}, {"png", 30000, 30000}, {"png", 10001, 10000},   {"jpeg", 60000, 60000},
        {"gif", 65535, 65535}, {"bmp", 1, INT_MAX},   {"bmp", 1, 0x80000000u}, {"bmp", 2000000, 1},
    };
    for (const auto& claim : claims) {
        const std::string what =
            std::string(claim.format) + " of " + std::to_string(claim.width) + "x" + std::to_string(claim.height);
        SCOPED_TRACE(what);
        const std::string file = path("claim." + std::string(claim.format));
        ASSERT_TRUE(testing_support::writeClaim(claim.format, file, claim.width, claim.height));
        const double growth = peakGrowthMb([&] {
            Bitmap decoded(file.c_str());
            if (decoded.getLastStatus() == Status::Ok || decoded.getWidth() != 0)
                _exit(3);
        });
        EXPECT_GE(growth, 0) << "the child failed: a picture came out, or it crashed";
        EXPECT_LT(growth, 16.0) << "megabytes allocated for a refused picture";
        Bitmap decoded(file.c_str());
        expectEmpty(decoded, Status::OutOfMemory);
    }
    // Exactly 100 megapixels is allowed: this file is refused only for its
    // missing rows, after the header was accepted.
    ASSERT_TRUE(testing_support::writeClaim("png", path("limit.png"), 10000, 10000));
    Bitmap limit(path("limit.png").c_str());
    EXPECT_EQ(limit.getLastStatus(), Status::UnknownImageFormat);
}

TEST_F(PictureTest, OnlyRegularFilesAreReadAndNeverPastTheBound)
{
    ASSERT_EQ(mkfifo(path("fifo.jpg").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", folder / "zero.jpg");
    fs::create_symlink("/dev/urandom", folder / "urandom.jpg");
    // A sparse file longer than any real photo: refused without reading it.
    {
        std::ofstream sparse(path("sparse.jpg"), std::ios::binary);
        sparse << "\xff\xd8\xff";
    }
    fs::resize_file(path("sparse.jpg"), 3ull << 30);
    for (const char* name : {"fifo.jpg", "zero.jpg", "urandom.jpg", "sparse.jpg"}) {
        SCOPED_TRACE(name);
        // In a child with a deadline: a FIFO that blocks the open, or a device
        // that is read for ever, fails the test instead of hanging it.
        const std::string file = path(name);
        const double growth = peakGrowthMb(
            [&] {
                Bitmap decoded(file.c_str());
                if (decoded.getLastStatus() != Status::UnknownImageFormat || decoded.getWidth() != 0)
                    _exit(3);
            },
            10);
        EXPECT_GE(growth, 0) << "not refused as undecodable within 10 s";
        EXPECT_LT(growth, 16.0);
    }
}

TEST_F(PictureTest, UnreadableFileIsAccessDenied)
{
    const std::string file = picture("png", 8, 8);
    fs::permissions(file, fs::perms::none);
    if (access(file.c_str(), R_OK) == 0)
        GTEST_SKIP() << "this user (root?) can read a file with no permissions; nothing to test";
    Bitmap decoded(file.c_str());
    expectEmpty(decoded, Status::AccessDenied);
}

TEST_F(PictureTest, LargePicturesAreDecodedReducedButStillCoverTheArea)
{
    // JPEG: the smallest of 1/8, 1/4, 1/2 and 1 that still covers the area;
    // 15/16 of it is enough, a stretch that small cannot be seen.
    const std::string jpeg = picture("jpeg", 800, 600);
    Bitmap eighth(jpeg.c_str(), 106, 80);
    expectHalves(eighth, 100, 75, 16);
    // 1/4 gives 200x150, twice what 107x80 needs down: that is halved.
    Bitmap quarter(jpeg.c_str(), 107, 80);
    expectHalves(quarter, 200, 75, 16);
    Bitmap whole(jpeg.c_str(), 1024, 768);
    expectHalves(whole, 800, 600, 16);
    // The scale is the same both ways: a thin picture keeps its height, so it
    // is decoded whole and reduced across only.
    Bitmap thin(picture("jpeg", 4000, 200).c_str(), 1024, 768);
    EXPECT_EQ(thin.getWidth(), 1000u);
    EXPECT_EQ(thin.getHeight(), 200u);

    // The others: a whole factor in each direction on its own, leaving at
    // least 15/16 of the area and less than twice that.
    for (const char* format : {"png", "gif", "bmp"}) {
        SCOPED_TRACE(format);
        Bitmap reduced(picture(format, 200, 150).c_str(), 64, 48);
        expectHalves(reduced, 66, 50, 0);
        Bitmap wide(picture(format, 4000, 30).c_str(), 1024, 768);
        EXPECT_EQ(wide.getWidth(), 1000u);
        EXPECT_EQ(wide.getHeight(), 30u);
        Bitmap interlaced(picture(format, 800, 640, {.interlaced = true}).c_str(), 100, 80);
        expectHalves(interlaced, 100, 80, 0);
    }
}

TEST_F(PictureTest, ReducedPixelsAverageTheirBlocksAndTheEdgesAreKept)
{
    // A one-pixel checkerboard reduced by 2 each way is an even grey.
    const auto checkers = [](int x, int y) { return (x + y) % 2 ? 0xffffffffu : 0xff000000u; };
    // Columns 0-5 black, column 6 white: reduced by 2 to 3 columns, the last
    // block takes the leftover column, so its average is a third white.
    const auto lastWhite = [](int x, int) { return x == 6 ? 0xffffffffu : 0xff000000u; };
    for (const char* format : {"png", "bmp"}) {
        SCOPED_TRACE(format);
        const std::string board = path(std::string("board.") + format);
        ASSERT_TRUE(testing_support::writePicture(format, board, 8, 8, checkers));
        Bitmap grey(board.c_str(), 4, 4);
        ASSERT_EQ(grey.getWidth(), 4u);
        ASSERT_EQ(grey.getHeight(), 4u);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                expectNear(pixelOf(grey, x, y), {128, 128, 128, 255}, 1);

        const std::string edge = path(std::string("edge.") + format);
        ASSERT_TRUE(testing_support::writePicture(format, edge, 7, 1, lastWhite));
        Bitmap kept(edge.c_str(), 3, 1);
        ASSERT_EQ(kept.getWidth(), 3u);
        expectNear(pixelOf(kept, 1, 0), {0, 0, 0, 255}, 0);
        expectNear(pixelOf(kept, 2, 0), {85, 85, 85, 255}, 1);
    }
    // Averages are taken of premultiplied pixels: opaque red beside fully
    // transparent (whatever its colour) is half-seen red, not a muddy mix.
    const auto redBesideNothing = [](int x, int) { return x % 2 ? 0x0000ff00u : 0xffff0000u; };
    ASSERT_TRUE(testing_support::writePng(path("mixed.png"), 8, 2, redBesideNothing, {.alpha = true}));
    Bitmap mixed(path("mixed.png").c_str(), 4, 2);
    expectNear(pixelOf(mixed, 0, 0), {0, 0, 128, 128}, 1);
}

TEST_F(PictureTest, StreamingDecodersStayFarBelowTheWholePictureInMemory)
{
    // 9 megapixels would take 36 MB decoded whole; reduced for a 256x256
    // area, each format must stay well under half of that.
    for (const char* format : {"jpeg", "png", "gif", "bmp"}) {
        SCOPED_TRACE(format);
        const std::string file = path(std::string("big.") + format);
        ASSERT_TRUE(testing_support::writePicture(format, file, 3000, 3000, testing_support::photo(3000, 3000)));
        const double growth = peakGrowthMb([&] {
            Bitmap decoded(file.c_str(), 256, 256);
            if (decoded.getWidth() == 0)
                _exit(3);
        });
        EXPECT_GE(growth, 0) << "the picture did not decode";
        EXPECT_LT(growth, 16.0) << "megabytes at the peak";
    }
}

TEST_F(PictureTest, DamagedFilesNeverCrashOrOverrun)
{
    // Every format, plain and in its other layouts, with bytes changed, bits
    // flipped and tails cut off: whatever comes out, it comes out quietly,
    // and a picture that does come out is less than twice the area it covers.
    std::vector<std::string> seeds = {runLengthBmp(8, rle8), runLengthBmp(4, rle4)};
    for (const char* format : {"jpeg", "png", "gif", "bmp"})
        for (const PictureOptions& options : {PictureOptions{}, PictureOptions{.interlaced = true, .bmpBits = 8},
                                              PictureOptions{.alpha = true, .bmpBits = 32}}) {
            const std::string file = path("seed");
            ASSERT_TRUE(testing_support::writePicture(format, file, 37, 23, testing_support::photo(37, 23), options));
            seeds.push_back(readBytes(file));
        }
    std::mt19937 random(2024);
    ::testing::internal::CaptureStderr();
    for (int round = 0; round < 1000; ++round) {
        std::string bytes = seeds[random() % seeds.size()];
        for (int change = 1 + static_cast<int>(random() % 6); change > 0; --change) {
            const std::size_t at = random() % bytes.size();
            switch (random() % 4) {
            case 0:
                bytes[at] = static_cast<char>(random());
                break;
            case 1:
                bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
                break;
            case 2:
                bytes.resize(at + 1);
                break;
            default: // headers are where sizes and counts live
                bytes[at % 64] = static_cast<char>(random() % 2 ? 0xff : 0x00);
            }
        }
        Bitmap decoded(writeBytes("damaged", bytes).c_str(), 16, 16);
        EXPECT_LT(decoded.getWidth(), 32u);
        EXPECT_LT(decoded.getHeight(), 32u);
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

} // namespace
