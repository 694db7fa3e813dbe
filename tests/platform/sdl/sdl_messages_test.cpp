// The SDL platform's message queue: what SDL's events become, what is sent to
// the procedure at once, the order of the quit message, Alt+F4 and signals.
#include "tests/platform/sdl/sdl_test_support.h"

#include <csignal>

using namespace platform;
using sdl_test::pushKey;
using sdl_test::pushWindowEvent;
using sdl_test::received;
using sdl_test::SdlPlatformTest;

namespace {
constexpr std::intptr_t repeatBit = std::intptr_t{1} << 30;
}

TEST_F(SdlPlatformTest, CreatingAndShowingSendTheirNewsBeforeReturning)
{
    const WindowHandle window = makeWindow();
    ASSERT_NE(0u, window);
    ASSERT_EQ(2u, received.size());
    EXPECT_EQ((Message{window, WM_CREATE, 0, 0}), received[0]);
    EXPECT_EQ((Message{window, WM_SIZE, 0, makeLParam(1024, 768)}), received[1]);

    platform->showWindow(window);
    ASSERT_EQ(3u, received.size());
    EXPECT_EQ((Message{window, WM_ACTIVATE, makeWParam(WA_ACTIVE, 0), 0}), received[2]);

    const WindowRect client = platform->clientRect(window);
    EXPECT_EQ(0, client.left);
    EXPECT_EQ(0, client.top);
    EXPECT_EQ(1024, client.right);
    EXPECT_EQ(768, client.bottom);
}

TEST_F(SdlPlatformTest, WindowEventsBecomeSizeActivationAndClose)
{
    const WindowHandle window = makeWindow();
    pushWindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600);
    pushWindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600); // no news
    pushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_GAINED);
    pushWindowEvent(window, SDL_WINDOWEVENT_MINIMIZED);
    pushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_LOST); // still minimized: no news
    pushWindowEvent(window, SDL_WINDOWEVENT_RESTORED);
    pushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_LOST);
    pushWindowEvent(window, SDL_WINDOWEVENT_HIDDEN);
    pushWindowEvent(window, SDL_WINDOWEVENT_SHOWN);
    pushWindowEvent(window, SDL_WINDOWEVENT_EXPOSED);
    pushWindowEvent(window, SDL_WINDOWEVENT_CLOSE);

    const std::vector<Message> expected = {
        {window, WM_SIZE, 0, makeLParam(800, 600)},
        {window, WM_ACTIVATE, makeWParam(WA_ACTIVE, 0), 0},
        {window, WM_ACTIVATE, makeWParam(WA_INACTIVE, 1), 0},
        {window, WM_SIZE, 1, makeLParam(0, 0)},
        // Restored: the window's real size again, then active.
        {window, WM_SIZE, 0, makeLParam(1024, 768)},
        {window, WM_ACTIVATE, makeWParam(WA_ACTIVE, 0), 0},
        {window, WM_ACTIVATE, makeWParam(WA_INACTIVE, 0), 0},
        {window, WM_ACTIVATE, makeWParam(WA_INACTIVE, 1), 0},
        {window, WM_SIZE, 1, makeLParam(0, 0)},
        {window, WM_SIZE, 0, makeLParam(1024, 768)},
        {window, WM_ACTIVATE, makeWParam(WA_ACTIVE, 0), 0},
        {window, WM_CLOSE, 0, 0},
    };
    EXPECT_EQ(expected, takeAll());
}

TEST_F(SdlPlatformTest, KeyDownsCarryTheVirtualKeyAndTheDesktopsLParamBits)
{
    const WindowHandle window = makeWindow();
    pushKey(window, SDLK_a, SDL_SCANCODE_A);
    pushKey(window, SDLK_a, SDL_SCANCODE_A, KMOD_NONE, true);
    pushKey(window, SDLK_a, SDL_SCANCODE_A, KMOD_NONE, false, SDL_KEYUP);
    pushKey(window, SDLK_MUTE, SDL_SCANCODE_MUTE);
    pushKey(window, SDLK_KP_9, SDL_SCANCODE_KP_9, KMOD_NUM);
    pushKey(window, SDLK_KP_9, SDL_SCANCODE_KP_9);
    pushKey(window, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT);
    pushKey(window, SDLK_F4, SDL_SCANCODE_F4, KMOD_LALT);
    pushKey(window, SDLK_F10, SDL_SCANCODE_F10);
    pushKey(window, SDLK_b, SDL_SCANCODE_B, KMOD_RALT, true);
    pushKey(window, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);

    const std::vector<Message> expected = {
        {window, WM_KEYDOWN, 0x41, 1},
        {window, WM_KEYDOWN, 0x41, 1 | repeatBit},
        {window, WM_KEYDOWN, 0x69, 1},
        {window, WM_KEYDOWN, 0x21, 1},
        {window, WM_SYSKEYDOWN, 0x12, 1 | KF_ALTDOWN_BIT},
        {window, WM_SYSKEYDOWN, 0x73, 1 | KF_ALTDOWN_BIT},
        {window, WM_SYSKEYDOWN, 0x79, 1},
        {window, WM_SYSKEYDOWN, 0x42, 1 | KF_ALTDOWN_BIT | repeatBit},
        {window, WM_KEYDOWN, 0x1B, 1},
    };
    EXPECT_EQ(expected, takeAll());
}

TEST_F(SdlPlatformTest, QuitComesOnlyOnceNothingElseWaits)
{
    const WindowHandle window = makeWindow();
    platform->postQuitMessage(3);
    pushKey(window, SDLK_z, SDL_SCANCODE_Z);

    const std::vector<Message> expected = {
        {window, WM_KEYDOWN, 0x5A, 1},
        {0, WM_QUIT, 3, 0},
    };
    EXPECT_EQ(expected, takeAll());
    Message message;
    EXPECT_FALSE(platform->peekMessage(message)) << "a second quit message";
}

TEST_F(SdlPlatformTest, SdlsQuitEventIsACloseOfTheWindow)
{
    const WindowHandle window = makeWindow();
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_EQ((std::vector<Message>{{window, WM_CLOSE, 0, 0}}), takeAll());
}

TEST_F(SdlPlatformTest, DefaultHandlingTurnsAltF4AndNothingElseIntoAClose)
{
    const WindowHandle window = makeWindow();
    received.clear();
    EXPECT_EQ(0, platform->defWindowProc(window, WM_SYSKEYDOWN, VK_F4, 1));
    EXPECT_EQ(0, platform->defWindowProc(window, WM_KEYDOWN, VK_F4, 1 | KF_ALTDOWN_BIT));
    EXPECT_EQ(0, platform->defWindowProc(window, WM_SYSKEYDOWN, VK_F10, 1 | KF_ALTDOWN_BIT));
    EXPECT_EQ(0, platform->defWindowProc(window, WM_CHAR, 'a', 1));
    EXPECT_TRUE(received.empty());

    EXPECT_EQ(0, platform->defWindowProc(window, WM_SYSKEYDOWN, VK_F4, 1 | KF_ALTDOWN_BIT));
    EXPECT_EQ((std::vector<Message>{{window, WM_CLOSE, 0, 0}}), received);
}

TEST_F(SdlPlatformTest, PoliteSignalsBecomeOneCloseThatWaitsForTheWindow)
{
    std::raise(SIGHUP);
    Message message;
    EXPECT_FALSE(platform->peekMessage(message)) << "a close with no window to close";

    const WindowHandle window = makeWindow();
    EXPECT_EQ((std::vector<Message>{{window, WM_CLOSE, 0, 0}}), takeAll());

    std::raise(SIGTERM);
    std::raise(SIGINT);
    EXPECT_EQ((std::vector<Message>{{window, WM_CLOSE, 0, 0}}), takeAll());
}

TEST_F(SdlPlatformTest, DestroyingSendsDestroyAndDropsTheWindowsWaitingMessages)
{
    const WindowHandle window = makeWindow();
    pushKey(window, SDLK_a, SDL_SCANCODE_A);
    pushKey(window, SDLK_b, SDL_SCANCODE_B);
    Message first;
    ASSERT_TRUE(platform->peekMessage(first));
    received.clear();

    platform->destroyWindow(window);
    EXPECT_EQ((std::vector<Message>{{window, WM_DESTROY, 0, 0}}), received);
    EXPECT_TRUE(takeAll().empty());
    EXPECT_EQ(0, platform->dispatchMessage(first)) << "the procedure reached through a destroyed window";
}
