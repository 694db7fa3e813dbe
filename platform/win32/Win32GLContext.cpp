// The window's OpenGL context through WGL. The pixel format Windows hands
// back is read and checked before it is set, since ChoosePixelFormat gives
// the nearest it has, not necessarily what the frame draws with. Each failing
// step leaves one trace line saying why and undoes what it built. The window
// class owns its device context, so GetDC hands out the same one every time
// and nothing has to keep it.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Values.h"
#include "util/DebugTrace.h"

#include <windows.h>

#include <GL/gl.h>

namespace platform {

using namespace win32;

namespace {

using SwapInterval = BOOL(WINAPI*)(int);

// Asks the driver to swap in step with the display, where it can; the toy
// runs as well without.
void askForVsync()
{
    const PROC found = wglGetProcAddress("wglSwapIntervalEXT");
    if (found == nullptr)
        return;
    SwapInterval swapInterval;
    static_assert(sizeof swapInterval == sizeof found);
    CopyMemory(&swapInterval, &found, sizeof swapInterval);
    swapInterval(1);
}

} // namespace

ContextHandle Win32Platform::createGLContext(WindowHandle window)
{
    HWND handle = toWindow(window);
    HDC dc = GetDC(handle);
    if (dc == nullptr) {
        DebugTrace(L"zindle: no device context for the OpenGL window (error %lu)\n", GetLastError());
        return 0;
    }
    const PIXELFORMATDESCRIPTOR request = pixelFormatRequest();
    const int format = ChoosePixelFormat(dc, &request);
    if (format == 0) {
        DebugTrace(L"zindle: no pixel format for OpenGL (error %lu)\n", GetLastError());
        ReleaseDC(handle, dc);
        return 0;
    }
    PIXELFORMATDESCRIPTOR chosen;
    ZeroMemory(&chosen, sizeof chosen);
    if (DescribePixelFormat(dc, format, sizeof chosen, &chosen) == 0) {
        DebugTrace(L"zindle: pixel format %d cannot be read back (error %lu)\n", format, GetLastError());
        ReleaseDC(handle, dc);
        return 0;
    }
    if (const std::wstring missing = pixelFormatShortfall(chosen); !missing.empty()) {
        DebugTrace(L"zindle: pixel format %d has %ls\n", format, missing.c_str());
        ReleaseDC(handle, dc);
        return 0;
    }
    if (!SetPixelFormat(dc, format, &chosen)) {
        DebugTrace(L"zindle: pixel format %d cannot be set (error %lu)\n", format, GetLastError());
        ReleaseDC(handle, dc);
        return 0;
    }
    HGLRC context = wglCreateContext(dc);
    if (context == nullptr) {
        DebugTrace(L"zindle: cannot create the OpenGL context (error %lu)\n", GetLastError());
        ReleaseDC(handle, dc);
        return 0;
    }
    if (!wglMakeCurrent(dc, context)) {
        DebugTrace(L"zindle: the OpenGL context cannot be made current (error %lu)\n", GetLastError());
        wglDeleteContext(context);
        ReleaseDC(handle, dc);
        return 0;
    }
    askForVsync();
    wglMakeCurrent(nullptr, nullptr);
    return reinterpret_cast<ContextHandle>(context);
}

void Win32Platform::makeCurrent(WindowHandle window, ContextHandle context)
{
    if (context == 0) {
        wglMakeCurrent(nullptr, nullptr);
        return;
    }
    wglMakeCurrent(GetDC(toWindow(window)), reinterpret_cast<HGLRC>(context));
}

void Win32Platform::deleteGLContext(ContextHandle context)
{
    if (context != 0)
        wglDeleteContext(reinterpret_cast<HGLRC>(context));
}

void Win32Platform::swapBuffers(WindowHandle window)
{
    SwapBuffers(GetDC(toWindow(window)));
}

} // namespace platform
