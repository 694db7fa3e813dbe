// Splash files a parent might drop in, or a broken copy might leave, under the
// name wumbly.jpg: whatever lies there, the toy is made and shows its splash
// (or nothing) without a word on standard error and without a message box.
// Pictures are recognised by their contents, so a PNG under the .jpg name is
// shown; any size up to 100 megapixels is accepted, from 1x1 to a phone's
// photo, which is decoded reduced to what the window needs.
#include "game/Zindle.h"
#include "tests/support/fixtures/PictureWriter.h"
#include "tests/support/fixtures/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using testing_support::ScriptedPlatform;
namespace fs = std::filesystem;

namespace {

struct SplashOutcome {
    unsigned width = 0;
    unsigned height = 0;
    platform::Status status = platform::Status::Ok;
    std::string drawCall; // the picture drawing asked of the platform, if any
    std::size_t boxes = 0;
    std::string standardError;
};

class SplashFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zindle-splash-files.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        previous = fs::current_path();
        fs::current_path(folder);
    }

    void TearDown() override
    {
        fs::current_path(previous);
        fs::remove_all(folder);
    }

    static void writeBytes(const std::vector<std::uint8_t>& bytes)
    {
        std::ofstream out("wumbly.jpg", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    static std::vector<std::uint8_t> shippedPicture()
    {
        std::ifstream in(fs::path(ZINDLE_SOURCE_DIR_FOR_TESTS) / "res" / "wumbly.jpg", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Makes the toy in the folder and lets it show its splash on a 1024x768 client area.
    static SplashOutcome start()
    {
        SplashOutcome outcome;
        ScriptedPlatform platform;
        platform.lastRequest.client = {0, 0, 1024, 768};
        ::testing::internal::CaptureStderr();
        {
            Zindle toy(platform);
            if (toy.splashImage) {
                // Asking an empty picture for its size is a failed call too.
                outcome.status = toy.splashImage->getLastStatus();
                outcome.width = toy.splashImage->getWidth();
                outcome.height = toy.splashImage->getHeight();
            }
            toy.showSplash(ScriptedPlatform::windowHandle);
        }
        outcome.standardError = ::testing::internal::GetCapturedStderr();
        for (const std::string& call : platform.calls)
            if (call.rfind("drawPicture", 0) == 0)
                outcome.drawCall = call;
        outcome.boxes = platform.boxes.size();
        return outcome;
    }

    fs::path folder;
    fs::path previous;
};

void expectEmptyAndQuiet(const SplashOutcome& outcome, const char* what)
{
    SCOPED_TRACE(what);
    EXPECT_EQ(outcome.width, 0u);
    EXPECT_EQ(outcome.height, 0u);
    EXPECT_NE(outcome.status, platform::Status::Ok);
    EXPECT_EQ(outcome.boxes, 0u);
    EXPECT_EQ(outcome.standardError, "");
}

TEST_F(SplashFiles, FilesThatHoldNoPictureLeaveTheSplashEmptyAndSayNothing)
{
    writeBytes({});
    expectEmptyAndQuiet(start(), "an empty file");

    std::mt19937 random(1234);
    std::vector<std::uint8_t> noise(100000);
    for (auto& byte : noise)
        byte = static_cast<std::uint8_t>(random());
    writeBytes(noise);
    expectEmptyAndQuiet(start(), "random bytes");

    // Only the JPEG signature and the start of a header.
    std::vector<std::uint8_t> header = shippedPicture();
    header.resize(40);
    writeBytes(header);
    expectEmptyAndQuiet(start(), "a JPEG cut inside its header");

    ASSERT_TRUE(testing_support::writeClaim("png", "wumbly.jpg", 65535, 65535));
    expectEmptyAndQuiet(start(), "a PNG whose header claims 65535x65535");

    fs::remove("wumbly.jpg");
    fs::create_directory("wumbly.jpg");
    expectEmptyAndQuiet(start(), "a folder named wumbly.jpg");

    // Not files: the toy must not wait on them or read them for ever.
    fs::remove("wumbly.jpg");
    ASSERT_EQ(mkfifo("wumbly.jpg", 0600), 0);
    expectEmptyAndQuiet(start(), "a FIFO nobody writes to");
    fs::remove("wumbly.jpg");
    fs::create_symlink("/dev/zero", "wumbly.jpg");
    expectEmptyAndQuiet(start(), "a link to /dev/zero");
}

TEST_F(SplashFiles, AJpegCutShortIsNotShown)
{
    std::vector<std::uint8_t> bytes = shippedPicture();
    ASSERT_GT(bytes.size(), 1000u);
    bytes.resize(bytes.size() / 2);
    writeBytes(bytes);
    const SplashOutcome outcome = start();
    // Shown, its lower half would be grey padding.
    expectEmptyAndQuiet(outcome, "the shipped picture cut in half");
    EXPECT_EQ(outcome.drawCall, "drawPicture 0,0 1024x768");
}

TEST_F(SplashFiles, PicturesOfAnySizeAndFormatAreStretchedOverTheWindow)
{
    const auto red = [](int, int) { return 0xffff0000u; };
    ASSERT_TRUE(testing_support::writePng("wumbly.jpg", 40, 30, red));
    SplashOutcome outcome = start();
    EXPECT_EQ(outcome.width, 40u) << "a PNG under the .jpg name";
    EXPECT_EQ(outcome.height, 30u);
    EXPECT_EQ(outcome.drawCall, "drawPicture 0,0 1024x768");
    EXPECT_EQ(outcome.standardError, "");

    ASSERT_TRUE(testing_support::writeJpeg("wumbly.jpg", 1, 1, red));
    outcome = start();
    EXPECT_EQ(outcome.width, 1u) << "a 1x1 picture";
    EXPECT_EQ(outcome.height, 1u);
    EXPECT_EQ(outcome.drawCall, "drawPicture 0,0 1024x768");
    EXPECT_EQ(outcome.standardError, "");

    // A camera's 24-megapixel photo, decoded at a quarter of its size: an
    // eighth would not cover the window.
    ASSERT_TRUE(testing_support::writeJpeg("wumbly.jpg", 6000, 4000, testing_support::halves(6000, 4000)));
    outcome = start();
    EXPECT_EQ(outcome.width, 1500u) << "a 6000x4000 photo";
    EXPECT_EQ(outcome.height, 1000u);
    EXPECT_EQ(outcome.drawCall, "drawPicture 0,0 1024x768");
    EXPECT_EQ(outcome.boxes, 0u);
    EXPECT_EQ(outcome.standardError, "");
}

// Root reads every file, so the unreadable picture is opened by a child
// process that has given up root for the nobody user.
TEST_F(SplashFiles, AnUnreadablePictureLeavesTheSplashEmpty)
{
    writeBytes(shippedPicture());
    fs::permissions("wumbly.jpg", fs::perms::none);
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        platform::Bitmap picture("wumbly.jpg");
        const platform::Status status = picture.getLastStatus();
        const bool empty = picture.getWidth() == 0 && picture.getHeight() == 0;
        _exit(empty && status == platform::Status::AccessDenied ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
    if (WEXITSTATUS(status) == 3)
        GTEST_SKIP() << "cannot give up root here to make a file unreadable";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the unreadable picture was not refused as access denied";
}

} // namespace
