// The frame's contract with the concrete application, driven on a scripted
// platform: the order of calls, the state at each, the message handling, the
// frame timing and the failure paths.
#include "app/GLApplication.h"
#include "tests/support/fixtures/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace platform;
using testing_support::ScriptedPlatform;

namespace {

struct Frame {
    double totalSeconds;
    double frameSeconds;
};

class RecordingApplication : public GLApplication {
public:
    explicit RecordingApplication(ScriptedPlatform& platform) : GLApplication(platform), script(platform) {}
    ~RecordingApplication() override { script.calls.push_back("~application"); }

    void drawFrame(double totalSeconds, double frameSeconds) override
    {
        script.calls.push_back("drawFrame");
        frames.push_back({totalSeconds, frameSeconds});
        frameTimerStarts.push_back(frameTimer.startCount);
        totalTimerStarts.push_back(totalTimer.startCount);
    }
    void keyDown(int virtualKey) override
    {
        script.calls.push_back("keyDown " + std::to_string(virtualKey));
        keys.push_back(virtualKey);
    }
    void createScene() override
    {
        script.calls.push_back("createScene");
        contextCurrentAtCreate = script.contextCurrent;
        timersStartedAtCreate = frameTimer.startCount + totalTimer.startCount;
    }
    void destroyScene() override
    {
        script.calls.push_back("destroyScene");
        contextCurrentAtDestroy = script.contextCurrent;
    }
    void showSplash(WindowHandle window) override
    {
        script.calls.push_back("showSplash");
        splashWindow = window;
        contextCurrentAtSplash = script.contextCurrent;
        activeAtSplash = active;
    }

    ScriptedPlatform& script;
    std::vector<Frame> frames;
    std::vector<int> keys;
    std::vector<std::int64_t> frameTimerStarts;
    std::vector<std::int64_t> totalTimerStarts;
    bool contextCurrentAtCreate = false;
    bool contextCurrentAtDestroy = false;
    bool contextCurrentAtSplash = true;
    std::int64_t timersStartedAtCreate = -1;
    WindowHandle splashWindow = 0;
    std::int32_t activeAtSplash = -1;
};

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Stopwatch::frequency = 0;
        // The desktop sizes and activates a window while it is made and shown.
        platform.onCreate.push_back({0, WM_SIZE, 0, makeLParam(1024, 768)});
        platform.onShow.push_back({0, WM_ACTIVATE, makeWParam(WA_ACTIVE, 0), 0});
    }

    // Draws `count` frames, then presses ESC.
    void quitAfterFrames(RecordingApplication& application, std::size_t count)
    {
        platform.whenIdle = [this, &application, count] {
            if (application.frames.size() >= count && !escSent) {
                escSent = true;
                platform.postKey(VK_ESCAPE);
            }
        };
    }

    // Runs a whole program on the script and returns its exit code; what it
    // writes to standard error (size traces, failure lines) is kept out of
    // the test's output.
    int runQuietly()
    {
        RecordingApplication application(platform);
        ::testing::internal::CaptureStderr();
        int exitCode = application.run();
        ::testing::internal::GetCapturedStderr();
        return exitCode;
    }

    int countOf(const std::string& call) const
    {
        return static_cast<int>(std::count(platform.calls.begin(), platform.calls.end(), call));
    }

    ScriptedPlatform platform;
    bool escSent = false;
};

TEST_F(FrameTest, CallsTheApplicationInOrderWithTheStateEachStepPromises)
{
    int exitCode;
    {
        RecordingApplication application(platform);
        quitAfterFrames(application, 2);
        exitCode = application.run();
        EXPECT_EQ(theApplication, &application);

        EXPECT_EQ(application.splashWindow, ScriptedPlatform::windowHandle);
        EXPECT_FALSE(application.contextCurrentAtSplash);
        EXPECT_EQ(application.activeAtSplash, 1) << "showing the window activates it before the splash";
        EXPECT_TRUE(application.contextCurrentAtCreate);
        EXPECT_EQ(application.timersStartedAtCreate, 0) << "stopwatches start only after the scene is built";
        EXPECT_TRUE(application.contextCurrentAtDestroy);
        EXPECT_EQ(application.width, 1024);
        EXPECT_EQ(application.height, 768);
        EXPECT_EQ(application.frames.size(), 2u);
    }
    EXPECT_EQ(exitCode, 0);

    std::vector<std::string> expected = {
        "startDrawing 1",    "changeDisplayMode 1024x768x32",
        "registerClass",     "hideCursor",
        "createWindow",      "showWindow",
        "holdFullScreen",    "setForegroundWindow",
        "setFocus",          "showSplash",
        "createGLContext",   "makeCurrent",
        "createScene",       "refreshRate",
        "drawFrame",         "swapBuffers",
        "drawFrame",         "swapBuffers",
        "postQuitMessage 0", "destroyScene",
        "releaseContext",    "deleteGLContext",
        "destroyWindow",     "~application",
        "stopDrawing 42",
    };
    EXPECT_EQ(platform.calls, expected);
    EXPECT_EQ(platform.lastClassName, "QuorvaneOpenGL");
    EXPECT_EQ(platform.lastRequest.title, "Zindle");
    EXPECT_TRUE(platform.lastRequest.fullScreen);
    EXPECT_EQ(platform.lastRequest.client.left, 0);
    EXPECT_EQ(platform.lastRequest.client.right, 1024);
    EXPECT_EQ(platform.lastRequest.client.bottom, 768);
}

TEST_F(FrameTest, KeysPressedDuringStartUpWaitUntilTheSceneIsBuilt)
{
    platform.postKey('A');
    platform.postKey('B');
    RecordingApplication application(platform);
    quitAfterFrames(application, 1);
    application.run();

    int created = platform.indexOf("createScene");
    ASSERT_GE(created, 0);
    EXPECT_GT(platform.indexOf("keyDown 65"), created);
    EXPECT_LT(platform.indexOf("keyDown 65"), platform.indexOf("keyDown 66"));
    EXPECT_LT(platform.indexOf("keyDown 66"), platform.indexOf("drawFrame"))
        << "waiting messages are all handled before the next frame";
}

TEST_F(FrameTest, EscapeEndsTheProgramAndNeverReachesTheApplication)
{
    platform.postKey('Q');
    platform.postKey(VK_ESCAPE);
    platform.postKey('Z'); // already waiting: handled before the quit arrives
    RecordingApplication application(platform);
    EXPECT_EQ(application.run(), 0);
    EXPECT_EQ(application.keys, (std::vector<int>{'Q', 'Z'}));
    EXPECT_TRUE(application.frames.empty()) << "the quit comes before any frame";
}

TEST_F(FrameTest, AutoRepeatsAndAnyKeyCodeReachTheApplication)
{
    for (int i = 0; i < 5; ++i)
        platform.postKey('G');
    platform.postKey(0x141);
    platform.postKey(0x5B);
    platform.postKey(VK_ESCAPE);
    RecordingApplication application(platform);
    application.run();
    EXPECT_EQ(application.keys, (std::vector<int>{'G', 'G', 'G', 'G', 'G', 0x141, 0x5B}));
}

TEST_F(FrameTest, SystemKeysNeverReachTheApplicationButAltF4Closes)
{
    platform.post(WM_SYSKEYDOWN, 'X', KF_ALTDOWN_BIT); // Alt+X
    platform.post(WM_SYSKEYDOWN, VK_F10, 0);           // F10
    platform.post(WM_SYSKEYDOWN, VK_MENU, KF_ALTDOWN_BIT);
    platform.post(WM_SYSKEYDOWN, VK_F4, 0);              // F4 without Alt: nothing
    platform.post(WM_SYSKEYDOWN, VK_F4, KF_ALTDOWN_BIT); // Alt+F4
    RecordingApplication application(platform);
    EXPECT_EQ(application.run(), 0);
    EXPECT_TRUE(application.keys.empty());
    EXPECT_TRUE(platform.called("destroyScene"));
}

TEST_F(FrameTest, ClosingTheWindowEndsTheProgramWithZero)
{
    platform.post(WM_CLOSE);
    RecordingApplication application(platform);
    EXPECT_EQ(application.run(), 0);
    EXPECT_TRUE(platform.called("destroyWindow"));
}

TEST_F(FrameTest, FrameTimesComeFromTheStopwatchesStartedAfterTheScene)
{
    auto& clock = platform.clock;
    RecordingApplication application(platform);
    // Drive time from the frames themselves: each frame takes 10 ms more than the last.
    std::int64_t step = 10000;
    platform.whenIdle = [&] {
        if (application.frames.size() == 4 && !escSent) {
            escSent = true;
            platform.postKey(VK_ESCAPE);
        }
        clock.now += step;
        step += 10000;
    };
    application.run();

    ASSERT_EQ(application.frames.size(), 4u);
    // Idle passes advance the clock by 10, 20, 30, 40 ms...; one pass per frame.
    EXPECT_NEAR(application.frames[0].frameSeconds, 0.010, 1e-12) << "the first frame is not 0";
    EXPECT_NEAR(application.frames[1].frameSeconds, 0.020, 1e-12);
    EXPECT_NEAR(application.frames[3].frameSeconds, 0.040, 1e-12);
    EXPECT_NEAR(application.frames[3].totalSeconds, 0.100, 1e-12);
    for (std::size_t i = 0; i < application.frames.size(); ++i) {
        EXPECT_EQ(application.frameTimerStarts[i], 1) << "the frame stopwatch is emptied every frame";
        EXPECT_EQ(application.totalTimerStarts[i], static_cast<std::int64_t>(i) + 2);
    }
}

TEST_F(FrameTest, MinimizedTheLoopWaitsForAMessageAndRestoredItDrawsAtOnce)
{
    auto& clock = platform.clock;
    RecordingApplication application(platform);
    int idlePasses = 0;
    platform.whenIdle = [&] {
        clock.now += 10000; // 10 ms per pass
        ++idlePasses;
        if (application.frames.size() == 1 && idlePasses == 2)
            platform.post(WM_ACTIVATE, makeWParam(WA_INACTIVE, 1)); // minimized
        if (application.frames.size() == 2 && !escSent) {
            escSent = true;
            platform.postKey(VK_ESCAPE);
        }
    };
    platform.whileWaiting = [&](double seconds) {
        if (seconds >= 0.0)
            return;
        clock.now += 480000; // restored after 480 ms
        platform.post(WM_ACTIVATE, makeWParam(WA_ACTIVE, 0));
    };
    application.run();

    ASSERT_EQ(application.frames.size(), 2u);
    EXPECT_EQ(platform.unansweredWaits, 0);
    ASSERT_EQ(platform.waits.size(), 1u) << "one wait covers the whole time minimized: no spinning";
    EXPECT_LT(platform.waits[0].seconds, 0.0) << "however long it takes";
    EXPECT_LE(idlePasses, 5) << "the queue is not asked again and again";
    const int waited = platform.indexOf("waitMessage");
    EXPECT_LT(platform.indexOf("drawFrame"), waited);
    // The restore takes the full screen's hold back, then the frame comes.
    EXPECT_EQ(platform.calls[static_cast<std::size_t>(waited) + 1], "holdFullScreen");
    EXPECT_EQ(platform.calls[static_cast<std::size_t>(waited) + 2], "drawFrame") << "restored, it draws at once";
    // Frame 1 at 10 ms; minimized at 20; restored at 510; the next frame, at
    // 520, covers the whole pause and the time is not caught up.
    EXPECT_NEAR(application.frames[1].frameSeconds, 0.510, 1e-9);
    EXPECT_NEAR(application.frames[1].totalSeconds, 0.520, 1e-9);
}

TEST_F(FrameTest, WithoutVsyncFramesComeAtTheReportedRateAndKeysAreAnsweredBetween)
{
    auto& clock = platform.clock;
    platform.displayRefreshRate = 50; // 20 ms
    RecordingApplication application(platform);
    std::vector<std::int64_t> drawnAt;
    std::int64_t keyAt = -1;
    platform.onSwap = [&] {
        drawnAt.push_back(clock.now);
        clock.now += 1000; // each frame takes 1 ms to draw and swap
    };
    platform.whileWaiting = [&](double seconds) {
        // During the wait before the sixth frame a key arrives 5 ms in.
        if (application.frames.size() == 5 && keyAt < 0 && seconds > 0.005) {
            clock.now += 5000;
            keyAt = clock.now;
            platform.postKey('K');
        }
    };
    quitAfterFrames(application, 8);
    application.run();

    ASSERT_EQ(drawnAt.size(), 8u);
    // The second frame is drawn at once and shows the swap does not wait;
    // from the third on, one frame every 20 ms.
    for (std::size_t i = 3; i < drawnAt.size(); ++i)
        EXPECT_EQ(drawnAt[i] - drawnAt[i - 1], 20000) << i;
    EXPECT_NEAR(application.frames[7].frameSeconds, 0.020, 1e-9);

    const int key = platform.indexOf("keyDown 75");
    ASSERT_GE(key, 0);
    EXPECT_EQ(platform.calls[static_cast<std::size_t>(key) - 1], "waitMessage") << "the key ends the wait";
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.begin() + key, "drawFrame"), 5)
        << "handled before the next frame";
    const auto resumed = std::find_if(platform.waits.begin(), platform.waits.end(),
                                      [&](const ScriptedPlatform::Wait& wait) { return wait.at == keyAt; });
    ASSERT_NE(resumed, platform.waits.end()) << "the wait goes on after the key";
    EXPECT_NEAR(resumed->seconds, 0.014, 1e-9) << "to the frame's turn";
}

TEST_F(FrameTest, ASwapThatWaitsForTheDisplayGetsNoWaitOfItsOwn)
{
    auto& clock = platform.clock;
    platform.displayRefreshRate = 75;
    constexpr std::int64_t vblank = 1000000 / 75;
    RecordingApplication application(platform);
    // Scripted vsync: the swap returns on the display's next refresh.
    platform.onSwap = [&] {
        clock.now += 3000;
        clock.now = (clock.now / vblank + 1) * vblank;
    };
    quitAfterFrames(application, 100);
    application.run();

    ASSERT_EQ(application.frames.size(), 100u);
    EXPECT_FALSE(platform.called("waitMessage"));
    EXPECT_NEAR(application.frames[99].frameSeconds, 1.0 / 75, 1e-5) << "one frame per refresh";
}

TEST_F(FrameTest, LosingTheFocusWithoutMinimizingKeepsFramesGoing)
{
    platform.post(WM_ACTIVATE, makeWParam(WA_INACTIVE, 0));
    RecordingApplication application(platform);
    quitAfterFrames(application, 3);
    application.run();
    EXPECT_EQ(application.frames.size(), 3u);
    EXPECT_EQ(application.active, 1);
}

TEST_F(FrameTest, ASizeOfNothingIsRecordedAndTraced)
{
    platform.post(WM_SIZE, 1, makeLParam(0, 0));
    platform.postKey(VK_ESCAPE);
    RecordingApplication application(platform);
    ::testing::internal::CaptureStderr();
    application.run();
    std::string trace = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(application.width, 0);
    EXPECT_EQ(application.height, 0);
    EXPECT_NE(trace.find("size: 1024, 768\n"), std::string::npos);
    EXPECT_NE(trace.find("size: 0, 0\n"), std::string::npos);
}

TEST_F(FrameTest, SizesUseTheWholeUnsignedWords)
{
    platform.post(WM_SIZE, 0, makeLParam(65535, 40000));
    platform.postKey(VK_ESCAPE);
    RecordingApplication application(platform);
    ::testing::internal::CaptureStderr();
    application.run();
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(application.width, 65535);
    EXPECT_EQ(application.height, 40000);
}

TEST_F(FrameTest, RefusedDisplayModeWarnsThenRunsInAWindowWithTheCursor)
{
    platform.displayModeAvailable = false;
    platform.postKey(VK_ESCAPE);
    EXPECT_EQ(runQuietly(), 0);

    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "Your video card or driver cannot handle 1024x768x32 in full screen mode.\n");
    EXPECT_EQ(platform.boxes[0].caption, "Zindle");
    EXPECT_FALSE(platform.lastRequest.fullScreen);
    EXPECT_EQ(platform.lastRequest.client.left, 64);
    EXPECT_EQ(platform.lastRequest.client.top, 64);
    EXPECT_EQ(platform.lastRequest.client.right, 1088);
    EXPECT_EQ(platform.lastRequest.client.bottom, 832);
    EXPECT_FALSE(platform.called("hideCursor"));
    EXPECT_TRUE(platform.called("createScene"));
    EXPECT_LT(platform.indexOf("messageBox"), platform.indexOf("createWindow"));
}

TEST_F(FrameTest, FailedDrawingStartUpStopsBeforeAnythingElse)
{
    platform.drawingStatus = 3;
    platform.errorCode = 1234;
    int exitCode = runQuietly();
    EXPECT_EQ(exitCode, 1234);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "Could not initialize Gdiplus");
    EXPECT_EQ(platform.boxes[0].caption, "Error");
    EXPECT_LT(platform.indexOf("messageBox"), platform.indexOf("lastError"))
        << "the error code is read after the box closes";
    for (const char* call :
         {"changeDisplayMode 1024x768x32", "createWindow", "showSplash", "createScene", "drawFrame", "destroyScene"})
        EXPECT_FALSE(platform.called(call)) << call;
    EXPECT_TRUE(platform.called("~application"));
    EXPECT_TRUE(platform.called("stopDrawing 42")) << "shut down even after a failed start";
}

TEST_F(FrameTest, FailedDrawingStartUpWithoutAnErrorCodeStillFails)
{
    platform.drawingStatus = 1;
    platform.errorCode = 0;
    EXPECT_EQ(runQuietly(), 1);
}

TEST_F(FrameTest, FailedWindowCreationSaysSoAndCallsNothingOfTheScene)
{
    platform.windowCreation = false;
    int exitCode = runQuietly();
    EXPECT_EQ(exitCode, 1);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "Could not start Zindle because of a problem creating the main window.");
    EXPECT_EQ(platform.boxes[0].caption, "Zindle");
    for (const char* call : {"showWindow", "showSplash", "createGLContext", "createScene", "drawFrame", "destroyScene"})
        EXPECT_FALSE(platform.called(call)) << call;
    EXPECT_TRUE(platform.called("showCursor")) << "the cursor comes back";
    EXPECT_TRUE(platform.called("~application"));
}

TEST_F(FrameTest, NoOpenGLSaysSoReleasesTheWindowAndFails)
{
    platform.contextCreation = false;
    int exitCode = runQuietly();
    EXPECT_EQ(exitCode, 1);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "Could not start Zindle because OpenGL is not available.");
    EXPECT_EQ(platform.boxes[0].caption, "Zindle");
    EXPECT_TRUE(platform.called("showSplash"));
    EXPECT_TRUE(platform.called("destroyWindow"));
    for (const char* call : {"makeCurrent", "createScene", "drawFrame", "destroyScene"})
        EXPECT_FALSE(platform.called(call)) << call;
}

} // namespace
