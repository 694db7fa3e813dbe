// The Win32 platform's own mechanics under Wine: the window's styles and what
// its procedure is sent, the pixel format of the GL context, the keeper of the
// full-screen window and the counter. What every platform promises (closing,
// the quit message, waiting, the refresh rate, the splash) is the platform
// contract's (tests/contract/platform).
// The platform's message constants before windows.h, whose macros of the
// same names and values would otherwise stand where they are declared.
#include "platform/win32/Win32Platform.h"

#include "platform/Counter.h"
#include "platform/win32/Win32KeyboardHook.h"

#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

using namespace platform;

namespace {

std::vector<Message> received;
Platform* testedPlatform = nullptr;
WindowHandle fullScreenWindow = 0;

// The frame's rule for the full-screen window, as the program's windowProc
// keeps it: the backend reports what became of the window, this decides, the
// backend does it.
void applyFrameRule(WindowHandle window, unsigned message, std::uintptr_t wParam)
{
    if (window == 0 || window != fullScreenWindow)
        return;
    const bool iconic = IsIconic(reinterpret_cast<HWND>(window)) != FALSE;
    switch (message) {
    case WM_ACTIVATEAPP:
        if (wParam != 0)
            testedPlatform->holdFullScreen(window);
        else if (!iconic)
            testedPlatform->minimizeWindow(window);
        break;
    case WM_ACTIVATE:
        if (highWord(wParam) != 0)
            testedPlatform->releaseFullScreen(window);
        else if (lowWord(wParam) != WA_INACTIVE)
            testedPlatform->holdFullScreen(window);
        break;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED)
            testedPlatform->releaseFullScreen(window);
        break;
    default:
        break;
    }
}

std::intptr_t recordingProcedure(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    received.push_back({window, message, wParam, lParam});
    applyFrameRule(window, message, wParam);
    if (message == WM_CLOSE)
        return 0; // as the frame's procedure: the window stays until it is destroyed
    return DefWindowProcW(reinterpret_cast<HWND>(window), message, wParam, lParam);
}

class Win32PlatformTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        received.clear();
        testedPlatform = &platform;
        fullScreenWindow = 0;
        platform.registerClass({recordingProcedure, "QuorvaneOpenGL", 102});
    }

    void TearDown() override
    {
        fullScreenWindow = 0;
        for (WindowHandle window : windows)
            platform.destroyWindow(window);
        testedPlatform = nullptr;
    }

    WindowHandle open(bool fullScreen)
    {
        WindowRequest request;
        request.className = "QuorvaneOpenGL";
        request.title = "Zindle";
        request.fullScreen = fullScreen;
        request.client = fullScreen ? WindowRect{0, 0, 1024, 768} : WindowRect{64, 64, 1088, 832};
        WindowHandle window = platform.createWindow(request);
        if (window != 0) {
            if (fullScreen)
                fullScreenWindow = window;
            windows.push_back(window);
            platform.showWindow(window);
            platform.setForegroundWindow(window);
            platform.setFocus(window);
        }
        return window;
    }

    // Hands every waiting message to its procedure, for up to `seconds`, until
    // `done` says so; false if it never did.
    template <typename Done>
    bool pumpUntil(Done done, double seconds = 5.0)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        Message message;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            if (platform.peekMessage(message)) {
                platform.translateMessage(message);
                platform.dispatchMessage(message);
            } else {
                platform.waitMessage(0.02);
            }
        }
        return true;
    }

    static bool receivedWhere(unsigned message, bool (*test)(const Message&))
    {
        for (const Message& m : received)
            if (m.message == message && test(m))
                return true;
        return false;
    }

    Win32Platform platform{GetModuleHandleW(nullptr)};
    std::vector<WindowHandle> windows;
};

TEST_F(Win32PlatformTest, WindowedWindowGetsItsSizeAndActivation)
{
    const WindowHandle window = open(false);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(GetWindowLongW(reinterpret_cast<HWND>(window), GWL_STYLE) & 0xFFFF0000, 0x16CF0000);
    // A screen smaller than 1088x832 holds less than the whole client area;
    // whatever it holds is what WM_SIZE tells.
    const WindowRect client = platform.clientRect(window);
    static std::intptr_t clientSize;
    clientSize = makeLParam(static_cast<unsigned>(client.right), static_cast<unsigned>(client.bottom));
    EXPECT_EQ(client.right, 1024);
    EXPECT_TRUE(pumpUntil([] {
        return receivedWhere(WM_SIZE, [](const Message& m) { return m.lParam == clientSize; });
    })) << "no WM_SIZE of the client area";
    EXPECT_TRUE(receivedWhere(WM_ACTIVATE, [](const Message& m) {
        return lowWord(m.wParam) != WA_INACTIVE && highWord(m.wParam) == 0;
    })) << "showing did not activate the window";

    ShowWindow(reinterpret_cast<HWND>(window), SW_MINIMIZE);
    EXPECT_TRUE(pumpUntil([] {
        return receivedWhere(WM_SIZE, [](const Message& m) { return m.wParam == SIZE_MINIMIZED && m.lParam == 0; });
    })) << "minimizing gave no WM_SIZE of 0 by 0";
    // Windows deactivates a window it minimizes, with the minimized flag in
    // WM_ACTIVATE; Wine with no other window to activate does not, so the
    // message is sent as Windows would send it.
    SendMessageW(reinterpret_cast<HWND>(window), WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0);
    EXPECT_TRUE(receivedWhere(WM_ACTIVATE, [](const Message& m) { return highWord(m.wParam) != 0; }))
        << "WM_ACTIVATE with the minimized flag did not reach the procedure";
}

TEST_F(Win32PlatformTest, GLContextIsDoubleBufferedWithDepth)
{
    const WindowHandle window = open(false);
    ASSERT_NE(window, 0u);
    const ContextHandle context = platform.createGLContext(window);
    ASSERT_NE(context, 0u);
    HDC dc = GetDC(reinterpret_cast<HWND>(window));
    PIXELFORMATDESCRIPTOR chosen{};
    ASSERT_NE(DescribePixelFormat(dc, GetPixelFormat(dc), sizeof chosen, &chosen), 0);
    EXPECT_NE(chosen.dwFlags & PFD_DOUBLEBUFFER, 0u);
    EXPECT_NE(chosen.dwFlags & PFD_SUPPORT_OPENGL, 0u);
    EXPECT_EQ(chosen.iPixelType, PFD_TYPE_RGBA);
    EXPECT_GE(chosen.cDepthBits, 16);

    platform.makeCurrent(window, context);
    EXPECT_EQ(wglGetCurrentContext(), reinterpret_cast<HGLRC>(context));
    EXPECT_NE(glGetString(GL_VERSION), nullptr);
    platform.swapBuffers(window);
    platform.makeCurrent(0, 0);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    platform.deleteGLContext(context);
}

TEST_F(Win32PlatformTest, FullScreenWindowHoldsTheKeyboardOnlyWhileInFront)
{
    const WindowHandle window = open(true);
    ASSERT_NE(window, 0u);
    HWND handle = reinterpret_cast<HWND>(window);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(handle, GWL_STYLE)) & 0xFFFF0000u, 0x96000000u);
    EXPECT_EQ(GetWindowLongW(handle, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_APPWINDOW), WS_EX_TOPMOST | WS_EX_APPWINDOW);
    EXPECT_TRUE(pumpUntil([] { return win32::keyboardHookInstalled(); })) << "no hook while in front";

    ShowWindow(handle, SW_MINIMIZE);
    EXPECT_TRUE(pumpUntil([] { return !win32::keyboardHookInstalled(); })) << "the hook outlived minimizing";
    ShowWindow(handle, SW_RESTORE);
    SetForegroundWindow(handle);
    EXPECT_TRUE(pumpUntil([] { return win32::keyboardHookInstalled(); })) << "no hook after restoring";
    platform.destroyWindow(window);
    windows.clear();
    EXPECT_FALSE(win32::keyboardHookInstalled());
}

TEST_F(Win32PlatformTest, FullScreenWindowThatLosesTheForegroundMinimizesItself)
{
    const WindowHandle window = open(true);
    ASSERT_NE(window, 0u);
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    EXPECT_TRUE(pumpUntil([&] { return IsIconic(reinterpret_cast<HWND>(window)) != FALSE; }))
        << "still full screen behind another window";
    EXPECT_FALSE(win32::keyboardHookInstalled());
    DestroyWindow(other);
}

static int lossesReported()
{
    int losses = 0;
    for (const Message& m : received)
        losses += m.message == WM_ACTIVATEAPP && m.wParam == 0 ? 1 : 0;
    return losses;
}

TEST_F(Win32PlatformTest, DeactivatingTheFullScreenWindowReachesTheFrameAsOneLoss)
{
    const WindowHandle windowed = open(false);
    ASSERT_NE(windowed, 0u);
    received.clear();
    SendMessageW(reinterpret_cast<HWND>(windowed), WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    EXPECT_EQ(lossesReported(), 0) << "a windowed window's deactivation is no loss of the full screen";

    const WindowHandle window = open(true);
    ASSERT_NE(window, 0u);
    HWND handle = reinterpret_cast<HWND>(window);
    ASSERT_TRUE(pumpUntil([] { return win32::keyboardHookInstalled(); }));
    received.clear();
    // Windows tells the loss twice: the window's deactivation and the program's.
    SendMessageW(handle, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    SendMessageW(handle, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(lossesReported(), 1);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front().message, WM_ACTIVATE) << "the frame sees Windows' own message first";
    // The frame minimized the window from inside its procedure: that waits
    // for the queue, so as not to re-enter the activation messages.
    EXPECT_FALSE(IsIconic(handle));
    EXPECT_TRUE(pumpUntil([&] { return IsIconic(handle) != FALSE; })) << "the loss did not minimize the window";
    EXPECT_TRUE(pumpUntil([] { return !win32::keyboardHookInstalled(); }));
    EXPECT_EQ(lossesReported(), 1);
}

TEST_F(Win32PlatformTest, HoldAndReleaseAreIdempotentAndForTheFullScreenWindowOnly)
{
    const WindowHandle windowed = open(false);
    ASSERT_NE(windowed, 0u);
    platform.holdFullScreen(windowed);
    EXPECT_FALSE(win32::keyboardHookInstalled()) << "a windowed window took the keyboard";

    const WindowHandle window = open(true);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(pumpUntil([] { return win32::keyboardHookInstalled(); }));
    platform.releaseFullScreen(window);
    platform.releaseFullScreen(window);
    EXPECT_FALSE(win32::keyboardHookInstalled());
    platform.holdFullScreen(window);
    platform.holdFullScreen(window);
    EXPECT_TRUE(win32::keyboardHookInstalled());
    platform.releaseFullScreen(windowed);
    EXPECT_TRUE(win32::keyboardHookInstalled()) << "releasing another window let go of the full screen";

    // Outside the window's procedure the window minimizes at once.
    platform.minimizeWindow(window);
    EXPECT_TRUE(IsIconic(reinterpret_cast<HWND>(window)));
    EXPECT_TRUE(pumpUntil([] { return !win32::keyboardHookInstalled(); }));
}

TEST(Win32PlatformLife, AWindowThatOutlivesItsBackendNoLongerReachesIt)
{
    HWND window = nullptr;
    {
        Win32Platform shortLived(GetModuleHandleW(nullptr));
        shortLived.registerClass({recordingProcedure, "ZindleShortLived", 102});
        WindowRequest request;
        request.className = "ZindleShortLived";
        request.title = "short-lived";
        request.client = {64, 64, 320, 240};
        window = reinterpret_cast<HWND>(shortLived.createWindow(request));
        ASSERT_NE(window, nullptr);
    }
    received.clear();
    // Windows' own handling now: the backend and its frame procedure are gone.
    SendMessageW(window, WM_APP + 1, 0, 0);
    EXPECT_TRUE(received.empty());
    DestroyWindow(window);
}

TEST(Win32Counter, MachineCounterRunsAndTestsCanReplaceIt)
{
    EXPECT_GT(queryPerformanceFrequency(), 0);
    const std::int64_t first = queryPerformanceCounter();
    EXPECT_GE(queryPerformanceCounter(), first);

    class FixedClock : public Clock {
    public:
        std::int64_t frequency() override { return 1000; }
        std::int64_t counter() override { return 42; }
    } fixed;
    Clock* previous = setClock(&fixed);
    EXPECT_EQ(queryPerformanceFrequency(), 1000);
    EXPECT_EQ(queryPerformanceCounter(), 42);
    setClock(previous);
    EXPECT_GT(queryPerformanceFrequency(), 1000);
}

} // namespace
