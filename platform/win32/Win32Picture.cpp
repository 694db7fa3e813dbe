// The splash picture, drawn with GDI before the window has a GL context.
#include "platform/win32/Win32Platform.h"

#include "platform/draw/Bitmap.h"
#include "platform/win32/Win32Handles.h"

#include <windows.h>

namespace platform {

using namespace win32;

bool Win32Platform::drawPicture(WindowHandle window, Bitmap& picture, int x, int y, int width, int height)
{
    const int pictureWidth = static_cast<int>(picture.getWidth());
    const int pictureHeight = static_cast<int>(picture.getHeight());
    if (pictureWidth <= 0 || pictureHeight <= 0 || width <= 0 || height <= 0)
        return false;
    BitmapData pixels;
    if (picture.lockBits({0, 0, pictureWidth, pictureHeight}, &pixels) != Status::Ok)
        return false;

    BITMAPINFO header;
    ZeroMemory(&header, sizeof header);
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = pictureWidth;
    header.bmiHeader.biHeight = -pictureHeight; // rows from the top down
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;

    HDC dc = GetDC(toWindow(window));
    bool drawn = false;
    if (dc != nullptr) {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        const int lines = StretchDIBits(dc, x, y, width, height, 0, 0, pictureWidth, pictureHeight, pixels.scan0,
                                        &header, DIB_RGB_COLORS, SRCCOPY);
        drawn = lines != 0 && lines != static_cast<int>(GDI_ERROR);
        GdiFlush();
        // Wine's GdiFlush does nothing: there the window's pixels reach the X
        // server when the thread next looks for messages, which would be after
        // the scene is built. A wait of no time sends them now and takes no
        // message; on Windows it returns at once.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    }
    picture.unlockBits(&pixels);
    return drawn;
}

} // namespace platform
