// A bitmap decoded from a picture file. The shared picture reader decodes it,
// never GDI+ or the Windows Imaging Component: both decode a file whole while
// opening it, and a small JPEG that claims 60000 x 60000 pixels brings them
// down. The reader's pixels are premultiplied ARGB packed at 4 * width bytes,
// which a GDI+ bitmap wraps as they are; the bitmap keeps them alive. Every
// failure leaves a bitmap with no picture and a status, and prints nothing.
#include "platform/draw/Bitmap.h"

#include "platform/gdiplus/GdiplusImpl.h"
#include "platform/picture/PictureReader.h"

namespace platform {

Bitmap::Bitmap(const char* fileName, int coverWidth, int coverHeight) : implementation(std::make_unique<Impl>())
{
    PicturePixels picture;
    if (const Status read = readPicture(fileName, coverWidth, coverHeight, picture); read != Status::Ok) {
        remember(read);
        return;
    }
    auto bitmap =
        std::make_unique<Gdiplus::Bitmap>(picture.width, picture.height, picture.stride(), PixelFormat32bppPARGB,
                                          reinterpret_cast<BYTE*>(picture.pixels.get()));
    if (const Status made = fromGdiplus(bitmap->GetLastStatus()); made != Status::Ok) {
        remember(made);
        return;
    }
    implementation->pixels = std::move(picture.pixels);
    implementation->bitmap = std::move(bitmap);
}

} // namespace platform
