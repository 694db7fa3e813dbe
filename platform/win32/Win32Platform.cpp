// The Win32 backend's life, the drawing library's start and stop (GDI+,
// started by the drawing part), the last error, the cursor and the window
// class.
#include "platform/win32/Win32Platform.h"

#include "platform/gdiplus/GdiplusStartup.h"
#include "platform/win32/Win32State.h"
#include "platform/win32/Win32Text.h"
#include "platform/win32/Win32Values.h"
#include "platform/win32/Win32WindowProcedure.h"

#include <windows.h>

namespace platform {

using namespace win32;

Win32Platform::Win32Platform(void* moduleInstance) : state(std::make_unique<BackendState>())
{
    state->instance = static_cast<HINSTANCE>(moduleInstance);
}

namespace {

// A window that outlives the backend must not find it through its user data.
BOOL CALLBACK forgetBackend(HWND window, LPARAM backend)
{
    if (GetWindowLongPtrW(window, GWLP_USERDATA) == backend)
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return TRUE;
}

} // namespace

// The display mode gives the desktop its mode back as it goes.
Win32Platform::~Win32Platform()
{
    EnumThreadWindows(GetCurrentThreadId(), forgetBackend, reinterpret_cast<LPARAM>(state.get()));
}

int Win32Platform::startDrawing(std::uintptr_t* token, const DrawingStartupInput& input)
{
    unsigned error = 0;
    const int status = startGdiplus(token, input, error);
    if (status != 0 && error != 0)
        SetLastError(error); // so that lastError() gives it back after the box
    return status;
}

void Win32Platform::stopDrawing(std::uintptr_t token)
{
    stopGdiplus(token);
}

unsigned Win32Platform::lastError()
{
    return static_cast<unsigned>(GetLastError());
}

void Win32Platform::showCursor(bool show)
{
    ShowCursor(show ? TRUE : FALSE);
}

void Win32Platform::registerClass(const WindowClass& windowClass)
{
    state->frameProcedure = windowClass.procedure;
    const std::wstring className = widen(windowClass.className);
    const WNDCLASSW registration =
        win32::windowClass(state->instance, windowProcedure, className.c_str(), windowClass.iconResource);
    RegisterClassW(&registration);
}

} // namespace platform
