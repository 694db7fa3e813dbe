// The windows of the Win32 backend: made, shown, brought to the front,
// measured, minimized and destroyed.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32State.h"
#include "platform/win32/Win32Text.h"
#include "platform/win32/Win32Values.h"

#include <windows.h>

namespace platform {

using namespace win32;

WindowHandle Win32Platform::createWindow(const WindowRequest& request)
{
    const WindowStyles styles = windowStyles(request.fullScreen);
    const RECT client{request.client.left, request.client.top, request.client.right, request.client.bottom};
    const RECT outer = outerRectangle(client, styles);
    // The backend rides in the creation parameters to the window's user data,
    // where the window procedure finds it.
    HWND window = CreateWindowExW(styles.extended, widen(request.className).c_str(), widen(request.title).c_str(),
                                  styles.create, outer.left, outer.top, outer.right - outer.left,
                                  outer.bottom - outer.top, nullptr, nullptr, state->instance, state.get());
    if (window != nullptr && request.fullScreen)
        state->keeper.keep(window);
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
    state->keeper.forget(handle);
    DestroyWindow(handle);
}

void Win32Platform::minimizeWindow(WindowHandle window)
{
    HWND handle = toWindow(window);
    if (state->inFrameProcedure > 0)
        PostMessageW(handle, minimizeMessage, 0, 0);
    else if (!IsIconic(handle))
        ShowWindow(handle, SW_MINIMIZE);
}

} // namespace platform
