// Starting the SDL platform: refusing to run unseen, the drawing library's
// start-up, and the counter the stopwatches read.
#include "tests/platform/sdl/sdl_test_support.h"

#include "platform/Counter.h"

#include <cerrno>

using namespace platform;
using sdl_test::EnvironmentOverride;

TEST(SdlStartup, WithoutADisplayItSaysWhyAndEveryCallIsHarmless)
{
    EnvironmentOverride display("DISPLAY", nullptr);
    EnvironmentOverride wayland("WAYLAND_DISPLAY", nullptr);
    EnvironmentOverride driver("SDL_VIDEODRIVER", nullptr);
    SdlPlatform platform;
    EXPECT_FALSE(platform.initialized());
    EXPECT_FALSE(platform.initError().empty());
    EXPECT_EQ(std::string::npos, platform.initError().find('\n'));

    Message message;
    EXPECT_FALSE(platform.peekMessage(message));
    EXPECT_FALSE(platform.changeDisplayMode(1024, 768, 32));
    platform.registerClass({sdl_test::recordingProcedure, "TestClass", 102});
    WindowRequest request;
    request.className = "TestClass";
    request.client = {0, 0, 1024, 768};
    EXPECT_EQ(0u, platform.createWindow(request));
}

TEST(SdlStartup, SdlsDriversThatDrawNowhereCountOnlyWhenNamed)
{
    EnvironmentOverride display("DISPLAY", nullptr);
    EnvironmentOverride wayland("WAYLAND_DISPLAY", nullptr);
    EnvironmentOverride driver("SDL_VIDEODRIVER", "offscreen");
    SdlPlatform platform;
    EXPECT_TRUE(platform.initialized()) << platform.initError();
}

TEST(SdlStartup, TheDrawingLibraryStartsAndRefusesAnUnknownVersion)
{
    SdlPlatform platform;
    std::uintptr_t token = 0;
    EXPECT_EQ(0, platform.startDrawing(&token, DrawingStartupInput{}));
    EXPECT_NE(0u, token);
    platform.stopDrawing(token);

    DrawingStartupInput future;
    future.version = 2;
    EXPECT_NE(0, platform.startDrawing(&token, future));
    EXPECT_EQ(0u, token);
    EXPECT_EQ(unsigned{EINVAL}, platform.lastError());
    platform.stopDrawing(token); // after a failed start: nothing to do, nothing breaks
}

namespace {
class FixedClock : public Clock {
public:
    std::int64_t frequency() override { return 1000; }
    std::int64_t counter() override { return 42; }
};
} // namespace

TEST(SdlCounter, TheMachinesCounterIsSteadyAndFine)
{
    EXPECT_GE(queryPerformanceFrequency(), 1000000);
    const std::int64_t first = queryPerformanceCounter();
    const std::int64_t second = queryPerformanceCounter();
    EXPECT_LE(first, second);
}

TEST(SdlCounter, AReplacedClockIsReadUntilItIsTakenAway)
{
    FixedClock fixed;
    Clock* previous = setClock(&fixed);
    EXPECT_EQ(1000, queryPerformanceFrequency());
    EXPECT_EQ(42, queryPerformanceCounter());
    EXPECT_EQ(&fixed, setClock(previous));
    EXPECT_NE(42, queryPerformanceCounter());
}
