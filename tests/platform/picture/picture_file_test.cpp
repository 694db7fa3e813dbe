// Picture reading below any drawing library, on Linux and on Windows alike:
// every format decodes to the right pixels through readPicture(), names in
// UTF-8 are found, and PictureFile opens regular files only, reads no further
// than the file or its bound, and refuses folders, devices and pipes at once.
#include "platform/picture/PictureFile.h"
#include "platform/picture/PictureReader.h"
#include "tests/support/fixtures/PictureWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;
using platform::PictureFile;
using platform::PicturePixels;
using platform::Status;

fs::path utf8Path(const std::string& name)
{
    return fs::path(std::u8string(name.begin(), name.end()));
}

class PictureFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::random_device random;
        folder = fs::temp_directory_path() / ("zindle-picture-" + std::to_string(random()));
        ASSERT_TRUE(fs::create_directories(folder));
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // The name as the program passes it: UTF-8 bytes.
    std::string path(const std::string& name) const
    {
        const auto utf8 = (folder / utf8Path(name)).u8string();
        return {utf8.begin(), utf8.end()};
    }

    std::string writeBytes(const std::string& name, const std::string& bytes)
    {
        std::ofstream(folder / utf8Path(name), std::ios::binary) << bytes;
        return path(name);
    }

    // Writes the halves picture under an ASCII name (the writer opens files
    // by narrow name) and gives it its real name.
    void writeHalves(const std::string& format, const fs::path& target)
    {
        const fs::path writing = folder / "writing.tmp";
        ASSERT_TRUE(testing_support::writePicture(format, writing.string(), 64, 48, testing_support::halves(64, 48)));
        fs::rename(writing, target);
    }

    fs::path folder;
};

std::uint32_t pixelAt(const PicturePixels& picture, int x, int y)
{
    return picture
        .pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) + static_cast<std::size_t>(x)];
}

// Red left, blue right, green across the bottom quarter: each channel, both
// sides and both ends of the picture are told apart.
void expectHalves(const PicturePixels& picture, const std::string& format)
{
    ASSERT_EQ(picture.width, 64) << format;
    ASSERT_EQ(picture.height, 48) << format;
    auto alike = [](std::uint32_t pixel, std::uint32_t want) {
        for (int shift = 0; shift < 32; shift += 8) {
            const int got = static_cast<int>((pixel >> shift) & 0xFF),
                      wanted = static_cast<int>((want >> shift) & 0xFF);
            if (got < wanted - 24 || got > wanted + 24)
                return false;
        }
        return true;
    };
    EXPECT_TRUE(alike(pixelAt(picture, 8, 8), 0xFFFF0000)) << format << std::hex << " " << pixelAt(picture, 8, 8);
    EXPECT_TRUE(alike(pixelAt(picture, 56, 8), 0xFF0000FF)) << format << std::hex << " " << pixelAt(picture, 56, 8);
    EXPECT_TRUE(alike(pixelAt(picture, 32, 44), 0xFF00FF00)) << format << std::hex << " " << pixelAt(picture, 32, 44);
}

TEST_F(PictureFileTest, EveryFormatDecodesToItsPixels)
{
    for (const std::string format : {"jpeg", "png", "gif", "bmp"}) {
        const std::string file = path("picture." + format);
        ASSERT_TRUE(testing_support::writePicture(format, file, 64, 48, testing_support::halves(64, 48))) << format;
        PicturePixels picture;
        ASSERT_EQ(platform::readPicture(file.c_str(), 64, 48, picture), Status::Ok) << format;
        expectHalves(picture, format);
    }
}

TEST_F(PictureFileTest, NamesAreUtf8)
{
    const std::string name = "\xC3\xA9t\xC3\xA9 \xE4\xB8\xAD.png"; // "été 中.png"
    writeHalves("png", folder / utf8Path(name));
    const std::string file = path(name);
    PicturePixels picture;
    ASSERT_EQ(platform::readPicture(file.c_str(), 64, 48, picture), Status::Ok);
    expectHalves(picture, "png");
}

TEST_F(PictureFileTest, WhatIsNotAReadableFileGivesItsStatusAndNoPixels)
{
    fs::create_directory(folder / "folder");
    const std::string missing = path("missing.jpg"), inMissing = path("nowhere/wumbly.jpg");
    const std::string folderName = path("folder"), empty = writeBytes("empty.jpg", "");
    const std::string text = writeBytes("text.jpg", "not a picture at all");
    const std::array<std::pair<std::string, Status>, 5> cases{{{missing, Status::FileNotFound},
                                                               {inMissing, Status::FileNotFound},
                                                               {folderName, Status::AccessDenied},
                                                               {empty, Status::UnknownImageFormat},
                                                               {text, Status::UnknownImageFormat}}};
    for (const auto& [name, status] : cases) {
        PicturePixels picture;
        EXPECT_EQ(platform::readPicture(name.c_str(), 64, 48, picture), status) << name;
        EXPECT_EQ(picture.pixels, nullptr) << name;
    }
    EXPECT_EQ(PictureFile(nullptr).status(), Status::FileNotFound);
    EXPECT_EQ(PictureFile("").status(), Status::FileNotFound);
}

TEST_F(PictureFileTest, ReadsInOrderAndAtOffsetsNeverPastTheEnd)
{
    std::string bytes(200'000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 % 251);
    PictureFile file(writeBytes("bytes.bin", bytes).c_str());
    ASSERT_EQ(file.status(), Status::Ok);
    EXPECT_EQ(file.size(), bytes.size());

    // Small reads through the buffer, a large one straight through, then the end.
    std::string got(bytes.size() + 100, '\0');
    std::size_t at = 0;
    for (std::size_t count : {1u, 3u, 1000u, 70'000u, 65'536u})
        at += file.read(got.data() + at, count);
    EXPECT_EQ(at, 1u + 3u + 1000u + 70'000u + 65'536u);
    at += file.read(got.data() + at, got.size() - at);
    EXPECT_EQ(at, bytes.size());
    EXPECT_EQ(got.substr(0, at), bytes);
    EXPECT_EQ(file.read(got.data(), 10), 0u);
    EXPECT_FALSE(file.failed());

    // At an offset: the position is left alone; a read past the end is refused.
    std::array<char, 16> some{};
    EXPECT_TRUE(file.readAt(150'000, some.data(), some.size()));
    EXPECT_EQ(std::string(some.data(), some.size()), bytes.substr(150'000, some.size()));
    EXPECT_FALSE(file.readAt(bytes.size() - 8, some.data(), some.size()));
    file.seek(5);
    ASSERT_EQ(file.read(some.data(), 4), 4u);
    EXPECT_EQ(std::string(some.data(), 4), bytes.substr(5, 4));
    EXPECT_FALSE(file.failed());
}

TEST_F(PictureFileTest, AFileLongerThanTheBoundIsNotOpened)
{
    const fs::path longer = folder / "longer.bmp";
    std::ofstream(longer, std::ios::binary) << "BM";
    std::error_code error;
    fs::resize_file(longer, PictureFile::maxBytes + 1, error);
    if (error)
        GTEST_SKIP() << "cannot make a file of " << PictureFile::maxBytes + 1 << " bytes here: " << error.message();
    EXPECT_EQ(PictureFile(path("longer.bmp").c_str()).status(), Status::UnknownImageFormat);
    fs::resize_file(longer, PictureFile::maxBytes, error);
    PictureFile atTheBound(path("longer.bmp").c_str());
    EXPECT_EQ(atTheBound.status(), Status::Ok);
    std::array<char, 4> tail{};
    EXPECT_FALSE(atTheBound.readAt(PictureFile::maxBytes - 2, tail.data(), tail.size()));
    EXPECT_TRUE(atTheBound.readAt(PictureFile::maxBytes - 4, tail.data(), tail.size()));
}

#ifdef _WIN32
// Device names mean the device in every folder and with any extension; none
// is opened (opening CON or COM1 could wait or change a device's state).
TEST_F(PictureFileTest, DeviceNamesAreRefusedWithoutOpeningThem)
{
    for (const std::string name : {"CON", "nul", "NUL.jpg", "COM1", "LPT1", "CONIN$", "\\\\.\\NUL", "\\\\.\\COM1",
                                   "\\\\?\\GLOBALROOT\\Device\\Null", "\\\\.\\PhysicalDrive0"}) {
        EXPECT_EQ(PictureFile(name.c_str()).status(), Status::UnknownImageFormat) << name;
        EXPECT_EQ(PictureFile(path(name).c_str()).status() == Status::Ok, false) << name;
    }
}

// A pipe with a server waiting: the name is refused, and the server's only
// instance stays free (nobody connected to it).
TEST_F(PictureFileTest, APipeIsRefusedAndLeftUnconnected)
{
    const wchar_t* pipeName = L"\\\\.\\pipe\\zindle-picture-test";
    HANDLE server = CreateNamedPipeW(pipeName, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_NOWAIT, 1, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    EXPECT_EQ(PictureFile("\\\\.\\pipe\\zindle-picture-test").status(), Status::UnknownImageFormat);
    EXPECT_EQ(PictureFile("\\\\?\\pipe\\zindle-picture-test").status(), Status::UnknownImageFormat);
    // With PIPE_NOWAIT, ConnectNamedPipe says whether a client came.
    EXPECT_FALSE(ConnectNamedPipe(server, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PIPE_LISTENING));
    CloseHandle(server);
}

// Names are UTF-8 first; bytes that are not UTF-8 are read in the ANSI code
// page, as the toy's own "wumbly.jpg" would be in any.
TEST_F(PictureFileTest, NamesThatAreNotUtf8AreAnsi)
{
    const std::string ansiName = "caf\xE9.png"; // "café" in code page 1252, not UTF-8
    std::wstring wide(16, L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, ansiName.c_str(), -1, wide.data(), static_cast<int>(wide.size())) - 1));
    writeHalves("png", folder / wide);
    PicturePixels picture;
    const std::string name = (folder.string() + "\\" + ansiName);
    ASSERT_EQ(platform::readPicture(name.c_str(), 64, 48, picture), Status::Ok);
    expectHalves(picture, "png");
}
#endif

} // namespace
