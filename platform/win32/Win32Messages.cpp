// The message calls of the Win32 platform: the queue, waiting on it, and the
// default handling, which is Windows' own (Alt+F4 becomes a close there).
#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32State.h"

#include <windows.h>

#include <cmath>

namespace platform {

using namespace win32;

namespace {

// The message as Windows gave it, when it is the one last taken; else one
// built from the frame's fields.
MSG rebuild(const MSG& lastTaken, const Message& message)
{
    if (toHandle(lastTaken.hwnd) == message.window && lastTaken.message == message.message &&
        lastTaken.wParam == message.wParam && lastTaken.lParam == message.lParam)
        return lastTaken;
    MSG msg{};
    msg.hwnd = toWindow(message.window);
    msg.message = message.message;
    msg.wParam = message.wParam;
    msg.lParam = message.lParam;
    return msg;
}

} // namespace

bool Win32Platform::peekMessage(Message& message)
{
    MSG& lastTaken = state->lastTaken;
    if (!PeekMessageW(&lastTaken, nullptr, 0, 0, PM_REMOVE))
        return false;
    message.window = toHandle(lastTaken.hwnd);
    message.message = lastTaken.message;
    message.wParam = lastTaken.wParam;
    message.lParam = lastTaken.lParam;
    return true;
}

void Win32Platform::waitMessage(double seconds)
{
    MSG waiting;
    if (PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE))
        return;
    DWORD milliseconds = INFINITE;
    if (seconds >= 0)
        milliseconds = static_cast<DWORD>(std::ceil(std::fmin(seconds, 86400.0) * 1000.0));
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
}

int Win32Platform::refreshRate(WindowHandle window)
{
    MONITORINFOEXW monitor;
    ZeroMemory(&monitor, sizeof monitor);
    monitor.cbSize = sizeof monitor;
    HMONITOR shownOn = MonitorFromWindow(toWindow(window), MONITOR_DEFAULTTOPRIMARY);
    const wchar_t* device = nullptr;
    if (shownOn != nullptr && GetMonitorInfoW(shownOn, &monitor))
        device = monitor.szDevice;
    DEVMODEW mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsW(device, ENUM_CURRENT_SETTINGS, &mode))
        return 0;
    // 0 and 1 stand for the hardware's default rate, which says nothing.
    return mode.dmDisplayFrequency > 1 ? static_cast<int>(mode.dmDisplayFrequency) : 0;
}

void Win32Platform::translateMessage(const Message& message)
{
    const MSG msg = rebuild(state->lastTaken, message);
    TranslateMessage(&msg);
}

std::intptr_t Win32Platform::dispatchMessage(const Message& message)
{
    const MSG msg = rebuild(state->lastTaken, message);
    return DispatchMessageW(&msg);
}

void Win32Platform::postQuitMessage(int exitCode)
{
    PostQuitMessage(exitCode);
}

std::intptr_t Win32Platform::defWindowProc(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                           std::intptr_t lParam)
{
    return DefWindowProcW(toWindow(window), message, wParam, lParam);
}

} // namespace platform
