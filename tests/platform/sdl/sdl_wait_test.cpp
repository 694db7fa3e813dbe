// Waiting for a message on the SDL platform: what ends a wait, that the wait
// takes nothing from the queue, and the refresh rate it reports.
#include "tests/platform/sdl/sdl_test_support.h"

#include <chrono>
#include <csignal>
#include <thread>

using namespace platform;
using sdl_test::pushKey;
using sdl_test::received;
using sdl_test::SdlPlatformTest;

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

TEST_F(SdlPlatformTest, AWaitEndsForAnEventAndLeavesItInTheQueue)
{
    const WindowHandle window = makeWindow();
    received.clear();
    pushKey(window, SDLK_a, SDL_SCANCODE_A);
    platform->waitMessage(-1.0); // returns at once: one is waiting
    EXPECT_EQ((std::vector<Message>{{window, WM_KEYDOWN, 'A', 1}}), takeAll());
}

TEST_F(SdlPlatformTest, AWaitWithNothingToComeRunsItsTimeOut)
{
    makeWindow();
    takeAll();
    const auto start = std::chrono::steady_clock::now();
    platform->waitMessage(0.03);
    EXPECT_GE(secondsSince(start), 0.03);
    Message message;
    EXPECT_FALSE(platform->peekMessage(message));
}

TEST_F(SdlPlatformTest, APoliteSignalEndsAWaitThatWouldLastForEver)
{
    const WindowHandle window = makeWindow();
    takeAll();
    // Raised on another thread, as the kernel may deliver it: SDL's wait
    // does not see it; the platform does.
    std::thread signaller([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::raise(SIGTERM);
    });
    platform->waitMessage(-1.0);
    signaller.join();
    EXPECT_EQ((std::vector<Message>{{window, WM_CLOSE, 0, 0}}), takeAll());
}

TEST_F(SdlPlatformTest, TheRefreshRateIsTheDisplaysOrNothingKnown)
{
    const WindowHandle window = makeWindow();
    EXPECT_GE(platform->refreshRate(window), 0);
    EXPECT_EQ(platform->refreshRate(window + 1000), 0) << "no such window";
}
