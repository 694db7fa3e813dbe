#include "platform/win32/Win32Values.h"

namespace platform::win32 {

DEVMODEW displayModeRequest(int width, int height, int bitsPerPixel)
{
    DEVMODEW mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmBitsPerPel = static_cast<DWORD>(bitsPerPixel);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    return mode;
}

WindowStyles windowStyles(bool fullScreen)
{
    WindowStyles styles{};
    if (fullScreen) {
        styles.frame = WS_POPUP;
        styles.extended = WS_EX_APPWINDOW | WS_EX_TOPMOST;
    } else {
        styles.frame = WS_OVERLAPPEDWINDOW;
        styles.extended = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
    }
    styles.create = styles.frame | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return styles;
}

RECT outerRectangle(const RECT& client, const WindowStyles& styles)
{
    RECT outer = client;
    AdjustWindowRectEx(&outer, styles.frame, FALSE, styles.extended);
    return outer;
}

PIXELFORMATDESCRIPTOR pixelFormatRequest()
{
    PIXELFORMATDESCRIPTOR descriptor;
    ZeroMemory(&descriptor, sizeof descriptor);
    descriptor.nSize = sizeof descriptor;
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 24;
    descriptor.cDepthBits = 16;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    return descriptor;
}

std::wstring pixelFormatShortfall(const PIXELFORMATDESCRIPTOR& format)
{
    const DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if ((format.dwFlags & needed) != needed)
        return L"no OpenGL drawing to a window";
    if ((format.dwFlags & PFD_DOUBLEBUFFER) == 0)
        return L"a single buffer, not two";
    if (format.iPixelType != PFD_TYPE_RGBA)
        return L"colour indices, not RGBA";
    if (format.cRedBits < 8 || format.cGreenBits < 8 || format.cBlueBits < 8)
        return std::to_wstring(format.cRedBits) + L"/" + std::to_wstring(format.cGreenBits) + L"/" +
               std::to_wstring(format.cBlueBits) + L" colour bits, not 8 each";
    if (format.cDepthBits < 16)
        return std::to_wstring(format.cDepthBits) + L" depth bits, not 16";
    return {};
}

WNDCLASSW windowClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* className, int iconResource)
{
    WNDCLASSW windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(iconResource));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = className;
    return windowClass;
}

} // namespace platform::win32
