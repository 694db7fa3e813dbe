// The values the Win32 platform hands Windows, as the program asks for them.
#include "platform/win32/Win32Values.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace platform::win32;

namespace {

template <typename T>
bool zeroFrom(const T& value, std::size_t offset)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
    for (std::size_t i = offset; i < sizeof value; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

TEST(Win32Values, DisplayModeAsksForExactlySizeAndDepth)
{
    DEVMODEW mode = displayModeRequest(1024, 768, 32);
    EXPECT_EQ(mode.dmSize, 220u);
    EXPECT_EQ(mode.dmPelsWidth, 1024u);
    EXPECT_EQ(mode.dmPelsHeight, 768u);
    EXPECT_EQ(mode.dmBitsPerPel, 32u);
    EXPECT_EQ(mode.dmFields, 0x001C0000u);
    // Everything else zero: no refresh rate, no driver extra, no name.
    DEVMODEW expected;
    std::memset(&expected, 0, sizeof expected);
    expected.dmSize = mode.dmSize;
    expected.dmPelsWidth = 1024;
    expected.dmPelsHeight = 768;
    expected.dmBitsPerPel = 32;
    expected.dmFields = mode.dmFields;
    EXPECT_EQ(std::memcmp(&mode, &expected, sizeof mode), 0);
}

TEST(Win32Values, StylesFullScreenAndWindowed)
{
    const WindowStyles full = windowStyles(true);
    EXPECT_EQ(full.frame, 0x80000000u);
    EXPECT_EQ(full.create, 0x86000000u);
    EXPECT_EQ(full.extended, 0x00040008u);
    const WindowStyles windowed = windowStyles(false);
    EXPECT_EQ(windowed.frame, 0x00CF0000u);
    EXPECT_EQ(windowed.create, 0x06CF0000u);
    EXPECT_EQ(windowed.extended, 0x00040100u);
    EXPECT_EQ(windowed.create & WS_VISIBLE, 0u) << "windows are created hidden";
    EXPECT_EQ(full.create & WS_VISIBLE, 0u) << "windows are created hidden";
}

TEST(Win32Values, OuterRectangleFramesTheClientArea)
{
    const RECT full = outerRectangle({0, 0, 1024, 768}, windowStyles(true));
    EXPECT_EQ(full.left, 0);
    EXPECT_EQ(full.top, 0);
    EXPECT_EQ(full.right, 1024);
    EXPECT_EQ(full.bottom, 768);
    const RECT windowed = outerRectangle({64, 64, 1088, 832}, windowStyles(false));
    EXPECT_LT(windowed.left, 64);
    EXPECT_LT(windowed.top, 64 - 10) << "a title bar above the client area";
    EXPECT_GT(windowed.right, 1088);
    EXPECT_GT(windowed.bottom, 832);
}

TEST(Win32Values, PixelFormatIsDoubleBufferedRgbaWithDepth)
{
    const PIXELFORMATDESCRIPTOR descriptor = pixelFormatRequest();
    EXPECT_EQ(descriptor.nSize, 40);
    EXPECT_EQ(descriptor.nVersion, 1);
    EXPECT_EQ(descriptor.dwFlags, 0x25u);
    EXPECT_EQ(descriptor.iPixelType, PFD_TYPE_RGBA);
    EXPECT_EQ(descriptor.cColorBits, 24);
    EXPECT_EQ(descriptor.cDepthBits, 16);
    EXPECT_EQ(descriptor.iLayerType, PFD_MAIN_PLANE);
    EXPECT_EQ(descriptor.cAlphaBits, 0);
    EXPECT_EQ(descriptor.cAccumBits, 0);
    EXPECT_EQ(descriptor.cStencilBits, 0);
    EXPECT_EQ(descriptor.cAuxBuffers, 0);
    EXPECT_TRUE(zeroFrom(descriptor, offsetof(PIXELFORMATDESCRIPTOR, cAuxBuffers)));
}

// What Wine's llvmpipe hands back for the request: 8 bits a colour, 16 depth.
PIXELFORMATDESCRIPTOR usableFormat()
{
    PIXELFORMATDESCRIPTOR format = pixelFormatRequest();
    format.dwFlags |= PFD_GENERIC_ACCELERATED | PFD_SWAP_EXCHANGE;
    format.cColorBits = 32;
    format.cRedBits = format.cGreenBits = format.cBlueBits = format.cAlphaBits = 8;
    return format;
}

TEST(Win32Values, PixelFormatCheckRefusesWhatTheFrameCannotDrawWith)
{
    EXPECT_EQ(pixelFormatShortfall(usableFormat()), L"");
    PIXELFORMATDESCRIPTOR deeper = usableFormat();
    deeper.cDepthBits = 24;
    deeper.cRedBits = deeper.cGreenBits = deeper.cBlueBits = 10;
    EXPECT_EQ(pixelFormatShortfall(deeper), L"") << "more than asked for is no shortfall";

    PIXELFORMATDESCRIPTOR format = usableFormat();
    format.cDepthBits = 0;
    EXPECT_EQ(pixelFormatShortfall(format), L"0 depth bits, not 16");
    format.cDepthBits = 15;
    EXPECT_EQ(pixelFormatShortfall(format), L"15 depth bits, not 16");

    format = usableFormat();
    format.dwFlags &= ~static_cast<DWORD>(PFD_DOUBLEBUFFER);
    EXPECT_EQ(pixelFormatShortfall(format), L"a single buffer, not two");

    format = usableFormat();
    format.iPixelType = PFD_TYPE_COLORINDEX;
    EXPECT_EQ(pixelFormatShortfall(format), L"colour indices, not RGBA");

    format = usableFormat();
    format.cRedBits = 5;
    format.cGreenBits = 6;
    format.cBlueBits = 5;
    EXPECT_EQ(pixelFormatShortfall(format), L"5/6/5 colour bits, not 8 each");

    format = usableFormat();
    format.dwFlags &= ~static_cast<DWORD>(PFD_SUPPORT_OPENGL);
    EXPECT_EQ(pixelFormatShortfall(format), L"no OpenGL drawing to a window");
    format = usableFormat();
    format.dwFlags = (format.dwFlags & ~static_cast<DWORD>(PFD_DRAW_TO_WINDOW)) | PFD_DRAW_TO_BITMAP;
    EXPECT_EQ(pixelFormatShortfall(format), L"no OpenGL drawing to a window");
}

LRESULT CALLBACK noProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(Win32Values, WindowClassOwnsItsDeviceContext)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const WNDCLASSW windowClass = platform::win32::windowClass(instance, noProcedure, L"QuorvaneOpenGL", 102);
    EXPECT_EQ(windowClass.style, 0x0020u);
    EXPECT_EQ(windowClass.lpfnWndProc, noProcedure);
    EXPECT_EQ(windowClass.cbClsExtra, 0);
    EXPECT_EQ(windowClass.cbWndExtra, 0);
    EXPECT_EQ(windowClass.hInstance, instance);
    EXPECT_EQ(windowClass.hCursor, LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(windowClass.hbrBackground, GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(windowClass.lpszMenuName, nullptr);
    EXPECT_STREQ(windowClass.lpszClassName, L"QuorvaneOpenGL");
}

} // namespace
