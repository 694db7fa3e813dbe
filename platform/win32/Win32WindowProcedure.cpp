#include "platform/win32/Win32WindowProcedure.h"

#include "platform/win32/Win32FullScreen.h"

namespace platform::win32 {

namespace {

WindowProcedure frameProcedure = nullptr;

} // namespace

void setFrameProcedure(WindowProcedure procedure)
{
    frameProcedure = procedure;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (watchFullScreenMessage(window, message, wParam, lParam, &result))
        return result;
    if (frameProcedure == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return frameProcedure(reinterpret_cast<WindowHandle>(window), message, wParam, lParam);
}

} // namespace platform::win32
