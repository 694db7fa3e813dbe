// The SDL backend's part in the full-screen window's hold: which focus news
// reach the procedure as the program losing or getting back the foreground
// (on X11 only, for the full-screen window only, never while minimized), and
// the keyboard the hold asks for.
#include "tests/platform/sdl/sdl_test_support.h"

using namespace platform;
using sdl_test::pushWindowEvent;
using sdl_test::SdlPlatformTest;

namespace {

std::vector<Message> foregroundNews(const std::vector<Message>& messages)
{
    std::vector<Message> news;
    for (const Message& message : messages) {
        if (message.message == WM_ACTIVATEAPP)
            news.push_back(message);
    }
    return news;
}

} // namespace

TEST_F(SdlPlatformTest, OnX11AFocusLossOfTheShownFullScreenWindowIsALostForeground)
{
    if (!onX11())
        GTEST_SKIP() << "the loss is told on X11 only";
    const WindowHandle window = makeWindow(true);
    ASSERT_NE(0u, window);
    takeAll();

    pushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_LOST);
    const std::vector<Message> lost = {
        {window, WM_ACTIVATE, makeWParam(WA_INACTIVE, 0), 0},
        {window, WM_ACTIVATEAPP, 0, 0},
    };
    EXPECT_EQ(lost, takeAll()) << "the activation first, then the loss, as the desktop system orders them";

    pushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_GAINED);
    pushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_LOST);
    pushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_GAINED);
    pushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_GAINED); // no loss since: nothing to tell
    const std::vector<Message> back = {
        {window, WM_ACTIVATEAPP, 1, 0},
        {window, WM_ACTIVATEAPP, 0, 0},
        {window, WM_ACTIVATEAPP, 1, 0},
    };
    EXPECT_EQ(back, foregroundNews(takeAll()));
}

TEST_F(SdlPlatformTest, AMinimizedOrWindowedWindowLosesNoForeground)
{
    const WindowHandle fullScreen = makeWindow(true);
    const WindowHandle windowed = makeWindow(false);
    ASSERT_NE(0u, fullScreen);
    ASSERT_NE(0u, windowed);
    pushWindowEvent(fullScreen, SDL_WINDOWEVENT_MINIMIZED);
    pushWindowEvent(fullScreen, SDL_WINDOWEVENT_FOCUS_LOST);
    pushWindowEvent(windowed, SDL_WINDOWEVENT_FOCUS_GAINED);
    pushWindowEvent(windowed, SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_TRUE(foregroundNews(takeAll()).empty());

    // Destroyed, the full-screen window is watched no more.
    platform->destroyWindow(fullScreen);
    pushWindowEvent(fullScreen, SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_TRUE(foregroundNews(takeAll()).empty());
}

TEST_F(SdlPlatformTest, TheHoldAsksForTheKeyboardOfTheFullScreenWindowOnly)
{
    const WindowHandle fullScreen = makeWindow(true);
    const WindowHandle windowed = makeWindow(false);
    ASSERT_NE(0u, fullScreen);
    ASSERT_NE(0u, windowed);
    SDL_Window* full = SDL_GetWindowFromID(static_cast<Uint32>(fullScreen));
    SDL_Window* framed = SDL_GetWindowFromID(static_cast<Uint32>(windowed));

    platform->releaseFullScreen(fullScreen);
    platform->holdFullScreen(fullScreen);
    platform->holdFullScreen(fullScreen); // twice changes nothing
    EXPECT_NE(0u, SDL_GetWindowFlags(full) & SDL_WINDOW_KEYBOARD_GRABBED);
    EXPECT_NE(0u, SDL_GetWindowFlags(full) & SDL_WINDOW_MOUSE_GRABBED);

    platform->holdFullScreen(windowed);
    EXPECT_EQ(0u, SDL_GetWindowFlags(framed) & SDL_WINDOW_KEYBOARD_GRABBED);
    EXPECT_EQ(0u, SDL_GetWindowFlags(framed) & SDL_WINDOW_MOUSE_GRABBED);
    platform->holdFullScreen(windowed + 1000); // no such window: nothing
}

TEST(SdlKeeper, OffX11NoFocusNewsIsALostForeground)
{
    // On a driver whose window system keeps the top itself (Wayland; here
    // SDL's offscreen driver) the backend never tells a loss.
    sdl_test::EnvironmentOverride driver("SDL_VIDEODRIVER", "offscreen");
    SdlPlatform platform;
    if (!platform.initialized())
        GTEST_SKIP() << "no offscreen driver: " << platform.initError();
    platform.registerClass({sdl_test::recordingProcedure, "TestClass", 102});
    WindowRequest request;
    request.className = "TestClass";
    request.title = "Zindle test";
    request.fullScreen = true;
    request.client = {0, 0, 1024, 768};
    ::testing::internal::CaptureStderr();
    const WindowHandle window = platform.createWindow(request);
    ::testing::internal::GetCapturedStderr();
    ASSERT_NE(0u, window);

    pushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_GAINED);
    pushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_LOST);
    std::vector<Message> messages;
    Message message;
    while (platform.peekMessage(message))
        messages.push_back(message);
    EXPECT_EQ((std::vector<Message>{{window, WM_ACTIVATE, makeWParam(WA_ACTIVE, 0), 0},
                                    {window, WM_ACTIVATE, makeWParam(WA_INACTIVE, 0), 0}}),
              messages);
}
