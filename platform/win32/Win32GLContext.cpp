// The window's OpenGL context through WGL. The window class owns its device context, so
// GetDC hands out the same one every time and nothing has to keep it.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Values.h"

#include <windows.h>

#include <GL/gl.h>

namespace platform {

using namespace win32;

namespace {

using SwapInterval = BOOL(WINAPI*)(int);

// Asks the driver to swap in step with the display, where it can.
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
    HDC dc = GetDC(toWindow(window));
    if (dc == nullptr)
        return 0;
    const PIXELFORMATDESCRIPTOR descriptor = pixelFormatRequest();
    const int format = ChoosePixelFormat(dc, &descriptor);
    if (format == 0 || !SetPixelFormat(dc, format, &descriptor))
        return 0;
    HGLRC context = wglCreateContext(dc);
    if (context == nullptr)
        return 0;
    if (wglMakeCurrent(dc, context)) {
        askForVsync();
        wglMakeCurrent(nullptr, nullptr);
    }
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
