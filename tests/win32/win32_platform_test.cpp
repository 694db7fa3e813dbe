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

std::intptr_t recordingProcedure(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    received.push_back({window, message, wParam, lParam});
    if (message == WM_CLOSE)
        return 0; // as the frame's procedure: the window stays until it is destroyed
    return DefWindowProcW(reinterpret_cast<HWND>(window), message, wParam, lParam);
}

class Win32PlatformTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        received.clear();
        platform.registerClass({recordingProcedure, "QuorvaneOpenGL", 102});
    }

    void TearDown() override
    {
        for (WindowHandle window : windows)
            platform.destroyWindow(window);
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
