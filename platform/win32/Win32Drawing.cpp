// The drawing library's start and stop: GDI+, started by the drawing part.
#include "platform/win32/Win32Platform.h"

#include "platform/gdiplus/GdiplusStartup.h"

#include <windows.h>

namespace platform {

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

} // namespace platform
