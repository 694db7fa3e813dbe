// The Win32 platform's start, the display mode, the cursor, message boxes
// and the windows.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32FullScreen.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Text.h"
#include "platform/win32/Win32Values.h"
#include "platform/win32/Win32WindowProcedure.h"

#include <windows.h>

namespace platform {

using namespace win32;

Win32Platform::Win32Platform(void* moduleInstance) : instance(moduleInstance) {}

Win32Platform::~Win32Platform()
{
    restoreDesktopMode();
}

unsigned Win32Platform::lastError()
{
    return static_cast<unsigned>(GetLastError());
}

bool Win32Platform::changeDisplayMode(int width, int height, int bitsPerPixel)
{
    DEVMODEW mode = displayModeRequest(width, height, bitsPerPixel);
    if (ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL)
        return false;
    displayModeChanged(mode);
    return true;
}

void Win32Platform::showCursor(bool show)
{
    ShowCursor(show ? TRUE : FALSE);
}

void Win32Platform::messageBox(std::string_view text, std::string_view caption)
{
    MessageBoxW(nullptr, widen(text).c_str(), widen(caption).c_str(), MB_OK);
}

void Win32Platform::registerClass(const WindowClass& windowClass)
{
    setFrameProcedure(windowClass.procedure);
    const std::wstring className = widen(windowClass.className);
    const WNDCLASSW registration = win32::windowClass(static_cast<HINSTANCE>(instance), windowProcedure,
                                                      className.c_str(), windowClass.iconResource);
    RegisterClassW(&registration);
}

WindowHandle Win32Platform::createWindow(const WindowRequest& request)
{
    const WindowStyles styles = windowStyles(request.fullScreen);
    const RECT client{request.client.left, request.client.top, request.client.right, request.client.bottom};
    const RECT outer = outerRectangle(client, styles);
    HWND window =
        CreateWindowExW(styles.extended, widen(request.className).c_str(), widen(request.title).c_str(), styles.create,
                        outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                        static_cast<HINSTANCE>(instance), nullptr);
    if (window != nullptr && request.fullScreen)
        keepFullScreen(window);
    return toHandle(window);
}

void Win32Platform::showWindow(WindowHandle window)
{
    ShowWindow(toWindow(window), SW_SHOW);
}

void Win32Platform::setForegroundWindow(WindowHandle window)
{
    SetForegroundWindow(toWindow(window));
}

void Win32Platform::setFocus(WindowHandle window)
{
    SetFocus(toWindow(window));
}

WindowRect Win32Platform::clientRect(WindowHandle window)
{
    RECT client{};
    GetClientRect(toWindow(window), &client);
    return {client.left, client.top, client.right, client.bottom};
}

void Win32Platform::destroyWindow(WindowHandle window)
{
    HWND handle = toWindow(window);
    ReleaseDC(handle, GetDC(handle));
    win32::releaseFullScreen(handle);
    DestroyWindow(handle);
}

// The full-screen window's hold is kept by Win32FullScreen.cpp, which watches
// the window's own messages.
void Win32Platform::minimizeWindow(WindowHandle window)
{
    ShowWindow(toWindow(window), SW_MINIMIZE);
}

void Win32Platform::holdFullScreen(WindowHandle) {}

void Win32Platform::releaseFullScreen(WindowHandle) {}

} // namespace platform
