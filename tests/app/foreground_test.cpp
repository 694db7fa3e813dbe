// The frame's rule for the full-screen window, driven on a scripted platform:
// what the platform reports about the foreground and minimizing, and which of
// minimize, hold and release the frame asks for in answer, in order with the
// keys around them.
#include "app/GLApplication.h"
#include "tests/support/fixtures/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace platform;
using testing_support::ScriptedPlatform;

namespace {

class KeyApplication : public GLApplication {
public:
    explicit KeyApplication(ScriptedPlatform& platform) : GLApplication(platform), script(platform) {}

    void drawFrame(double, double) override {}
    void keyDown(int virtualKey) override { script.calls.push_back("keyDown " + std::to_string(virtualKey)); }
    void createScene() override {}
    void destroyScene() override {}
    void showSplash(WindowHandle) override {}

    ScriptedPlatform& script;
};

class ForegroundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Stopwatch::frequency = 0;
        platform.onCreate.push_back({0, WM_SIZE, 0, makeLParam(1024, 768)});
        platform.onShow.push_back({0, WM_ACTIVATE, makeWParam(WA_ACTIVE, 0), 0});
    }

    void post(unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0)
    {
        platform.post(message, wParam, lParam);
    }
    void postLoss() { post(WM_ACTIVATEAPP, 0); }
    void postReturn() { post(WM_ACTIVATEAPP, 1); }
    void postMinimized()
    {
        post(WM_ACTIVATE, makeWParam(WA_INACTIVE, 1));
        post(WM_SIZE, SIZE_MINIMIZED, makeLParam(0, 0));
    }
    void postRestored()
    {
        post(WM_SIZE, SIZE_RESTORED, makeLParam(1024, 768));
        post(WM_ACTIVATE, makeWParam(WA_ACTIVE, 0));
    }

    // Runs the program over what was posted, ended by ESC, and returns the
    // calls of the rule, the keys and the showing, in order.
    std::vector<std::string> run()
    {
        platform.postKey(VK_ESCAPE);
        KeyApplication application(platform);
        ::testing::internal::CaptureStderr();
        application.run();
        ::testing::internal::GetCapturedStderr();
        std::vector<std::string> seen;
        for (const std::string& call : platform.calls) {
            if (call == "showWindow" || call == "minimizeWindow" || call == "holdFullScreen" ||
                call == "releaseFullScreen" || call.rfind("keyDown", 0) == 0)
                seen.push_back(call);
        }
        return seen;
    }

    ScriptedPlatform platform;
};

TEST_F(ForegroundTest, ShownInFrontTheWindowTakesItsHold)
{
    EXPECT_EQ(run(), (std::vector<std::string>{"showWindow", "holdFullScreen"}));
}

TEST_F(ForegroundTest, LosingTheForegroundMinimizesBetweenTheKeysAroundIt)
{
    platform.postKey('A');
    postLoss();
    platform.postKey('B');
    postMinimized();
    EXPECT_EQ(run(), (std::vector<std::string>{"showWindow", "holdFullScreen", "keyDown 65", "minimizeWindow",
                                               "keyDown 66", "releaseFullScreen", "releaseFullScreen"}));
}

TEST_F(ForegroundTest, LosingTheForegroundWhileMinimizedDoesNothing)
{
    postMinimized();
    postLoss();
    post(WM_ACTIVATE, makeWParam(WA_INACTIVE, 1));
    const std::vector<std::string> seen = run();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "minimizeWindow"), 0);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "holdFullScreen"), 1) << "only the first showing";
}

TEST_F(ForegroundTest, TheReturnTakesTheHoldBack)
{
    // Minimized by the rule, then restored by the user.
    postLoss();
    postMinimized();
    postRestored();
    // The foreground back without any minimizing (a focus-stealing window went).
    post(WM_ACTIVATE, makeWParam(WA_INACTIVE, 0));
    postReturn();
    EXPECT_EQ(run(), (std::vector<std::string>{"showWindow", "holdFullScreen", "minimizeWindow", "releaseFullScreen",
                                               "releaseFullScreen", "holdFullScreen", "holdFullScreen"}));
}

TEST_F(ForegroundTest, TheForegroundGivenWhileMinimizedHoldsOnlyOnceRestored)
{
    postMinimized();
    // As a desktop does for a click on the minimized window's button: the
    // program is activated first, the window restored after.
    postReturn();
    post(WM_ACTIVATE, makeWParam(WA_ACTIVE, 1));
    post(WM_SIZE, SIZE_RESTORED, makeLParam(1024, 768));
    EXPECT_EQ(run(), (std::vector<std::string>{"showWindow", "holdFullScreen", "releaseFullScreen", "releaseFullScreen",
                                               "releaseFullScreen", "holdFullScreen"}));
}

TEST_F(ForegroundTest, RestoredBehindAnotherWindowTheHoldWaitsForTheForeground)
{
    postMinimized();
    post(WM_SIZE, SIZE_RESTORED, makeLParam(1024, 768));
    const std::vector<std::string> seen = run();
    EXPECT_EQ(seen.back(), "releaseFullScreen") << "restored without the foreground: nothing to hold";
}

TEST_F(ForegroundTest, OnlyTheFullScreenWindowIsWatched)
{
    platform.queue.push_back({ScriptedPlatform::windowHandle + 1, WM_ACTIVATEAPP, 0, 0});
    platform.queue.push_back({ScriptedPlatform::windowHandle + 1, WM_SIZE, SIZE_MINIMIZED, 0});
    platform.queue.push_back({ScriptedPlatform::windowHandle + 1, WM_ACTIVATE, makeWParam(WA_ACTIVE, 0), 0});
    EXPECT_EQ(run(), (std::vector<std::string>{"showWindow", "holdFullScreen"}));
}

TEST_F(ForegroundTest, TheWindowedFallbackNeverMinimizesHoldsOrReleases)
{
    platform.displayModeAvailable = false;
    postLoss();
    postMinimized();
    postRestored();
    postReturn();
    EXPECT_EQ(run(), (std::vector<std::string>{"showWindow"}));
}

} // namespace
