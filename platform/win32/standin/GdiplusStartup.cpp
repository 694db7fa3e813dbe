// GDI+'s start and stop for builds of the Win32 platform without the GDI+
// drawing part, which offers the same two calls.
#include "platform/gdiplus/GdiplusStartup.h"

// clang-format off
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
// clang-format on

namespace platform {

int startGdiplus(std::uintptr_t* token, const DrawingStartupInput& input, unsigned& lastError)
{
    *token = 0;
    Gdiplus::GdiplusStartupInput startup;
    startup.GdiplusVersion = input.version;
    startup.DebugEventCallback = nullptr;
    startup.SuppressBackgroundThread = input.suppressBackgroundThread;
    startup.SuppressExternalCodecs = input.suppressExternalCodecs;
    ULONG_PTR started = 0;
    const Gdiplus::Status status = Gdiplus::GdiplusStartup(&started, &startup, nullptr);
    *token = started;
    lastError = status == Gdiplus::Ok ? 0u : static_cast<unsigned>(GetLastError());
    return static_cast<int>(status);
}

void stopGdiplus(std::uintptr_t token)
{
    if (token != 0)
        Gdiplus::GdiplusShutdown(token);
}

} // namespace platform
