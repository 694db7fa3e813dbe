#include "platform/gdiplus/GdiplusStartup.h"

#include "platform/gdiplus/GdiplusImpl.h"

namespace platform {

namespace {

// GDI+ calls back with its own calling convention and a level enumeration
// (which mingw-w64's headers leave out, typing the callback as void*); the
// caller's callback takes plain types.
void (*debugEvents)(int level, const char* message) = nullptr;

void WINAPI forwardDebugEvent(int level, CHAR* message)
{
    if (debugEvents)
        debugEvents(level, message);
}

} // namespace

int startGdiplus(std::uintptr_t* token, const DrawingStartupInput& input, unsigned& lastError)
{
    *token = 0;
    // What is handed over is the version-1 structure: GDI+ 1.1 would read
    // version 2's larger one past its end.
    if (input.version != 1) {
        lastError = ERROR_INVALID_PARAMETER;
        return static_cast<int>(Gdiplus::UnsupportedGdiplusVersion);
    }
    debugEvents = input.debugEventCallback;
    Gdiplus::GdiplusStartupInput startup;
    startup.GdiplusVersion = input.version;
    startup.DebugEventCallback = input.debugEventCallback ? reinterpret_cast<void*>(forwardDebugEvent) : nullptr;
    startup.SuppressBackgroundThread = input.suppressBackgroundThread;
    startup.SuppressExternalCodecs = input.suppressExternalCodecs;
    ULONG_PTR started = 0;
    const Gdiplus::Status status = Gdiplus::GdiplusStartup(&started, &startup, nullptr);
    if (status != Gdiplus::Ok) {
        lastError = GetLastError();
        return static_cast<int>(status);
    }
    *token = started;
    return static_cast<int>(status);
}

void stopGdiplus(std::uintptr_t token)
{
    if (token != 0)
        Gdiplus::GdiplusShutdown(token);
}

} // namespace platform
