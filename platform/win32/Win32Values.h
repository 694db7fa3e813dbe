// The values the program hands to Windows, built apart from the calls that
// take them so that tests can read them: the display mode, the window class,
// the window styles and the pixel format, and the check of the pixel format
// Windows hands back.
#pragma once

#include <windows.h>

#include <string>

namespace platform::win32 {

// Zero-filled but for the size, width, height and depth, and the fields that
// name those three.
DEVMODEW displayModeRequest(int width, int height, int bitsPerPixel);

struct WindowStyles {
    DWORD frame;    // what AdjustWindowRectEx is told
    DWORD create;   // what CreateWindowExW is given: the frame, clipping its children and siblings
    DWORD extended; // the extended style, for both
};

// Full screen: a topmost popup; else a titled, resizable window with an edge.
WindowStyles windowStyles(bool fullScreen);

// The outer rectangle of a window whose client area is `client`.
RECT outerRectangle(const RECT& client, const WindowStyles& styles);

// Double-buffered RGBA with 24 colour and 16 depth bits, nothing else.
PIXELFORMATDESCRIPTOR pixelFormatRequest();

// What a pixel format lacks of what the frame draws with, as words for the
// trace line ("no depth buffer, not 16 bits"); empty if nothing. The frame
// needs OpenGL in a window, two buffers, RGBA with at least 8 bits a colour,
// and a depth buffer of at least 16 bits.
std::wstring pixelFormatShortfall(const PIXELFORMATDESCRIPTOR& format);

// Owns its device context; the icon from the module's resources, the arrow
// cursor and a black background.
WNDCLASSW windowClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* className, int iconResource);

} // namespace platform::win32
