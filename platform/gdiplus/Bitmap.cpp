// The in-memory bitmap: a GDI+ 32-bit ARGB bitmap, and locking its pixels for
// reading as packed top-down rows of blue, green, red, alpha bytes
// (premultiplied, as the textures and the window want them). Decoding from a
// file lives in BitmapFile.cpp.
#include "platform/draw/Bitmap.h"

#include "platform/draw/LockedRows.h"
#include "platform/gdiplus/GdiplusImpl.h"

namespace platform {

Status fromGdiplus(Gdiplus::Status status)
{
    switch (status) {
    case Gdiplus::Ok:
        return Status::Ok;
    case Gdiplus::InvalidParameter:
        return Status::InvalidParameter;
    case Gdiplus::OutOfMemory:
        return Status::OutOfMemory;
    case Gdiplus::ObjectBusy:
        return Status::ObjectBusy;
    case Gdiplus::WrongState:
        return Status::WrongState;
    case Gdiplus::FileNotFound:
        return Status::FileNotFound;
    case Gdiplus::AccessDenied:
        return Status::AccessDenied;
    case Gdiplus::UnknownImageFormat:
        return Status::UnknownImageFormat;
    case Gdiplus::FontFamilyNotFound:
        return Status::FontFamilyNotFound;
    default:
        return Status::GenericError;
    }
}

Bitmap::Bitmap(int width, int height) : implementation(std::make_unique<Impl>())
{
    if (width <= 0 || height <= 0) {
        remember(Status::InvalidParameter);
        return;
    }
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    if (const Status made = fromGdiplus(bitmap->GetLastStatus()); made != Status::Ok) {
        remember(made);
        return;
    }
    // Text sizes are in points: at a fixed 96 dots per inch 72 pt is 96 px
    // whatever the screen's setting, so the textures look the same everywhere.
    bitmap->SetResolution(96.0f, 96.0f);
    implementation->bitmap = std::move(bitmap);
}

Bitmap::~Bitmap() = default;

unsigned Bitmap::getWidth()
{
    if (!implementation->bitmap) {
        remember(Status::InvalidParameter);
        return 0;
    }
    return implementation->bitmap->GetWidth();
}

unsigned Bitmap::getHeight()
{
    if (!implementation->bitmap) {
        remember(Status::InvalidParameter);
        return 0;
    }
    return implementation->bitmap->GetHeight();
}

Status Bitmap::lockBits(const Rect& rect, BitmapData* data)
{
    Gdiplus::Bitmap* bitmap = implementation->bitmap.get();
    if (!bitmap || !data)
        return remember(Status::InvalidParameter);
    // Checked here rather than left to GDI+, whose answers differ between
    // versions (and Wine's): the callers rely on these failing the same way.
    if (implementation->locked)
        return remember(Status::WrongState);
    const auto width = static_cast<int>(bitmap->GetWidth());
    const auto height = static_cast<int>(bitmap->GetHeight());
    if (!lockableRect(rect, width, height))
        return remember(Status::InvalidParameter);

    Gdiplus::BitmapData& locked = implementation->lockData;
    const Gdiplus::Rect area(rect.x, rect.y, rect.width, rect.height);
    if (const Status status =
            fromGdiplus(bitmap->LockBits(&area, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &locked));
        status != Status::Ok)
        return remember(status);

    // GDI+ may pad rows, or hand them out bottom-up (a negative stride).
    handOutRows(rect, static_cast<const std::uint8_t*>(locked.Scan0), locked.Stride, implementation->lockCopy, data);
    implementation->locked = true;
    return Status::Ok;
}

Status Bitmap::unlockBits(BitmapData* data)
{
    if (!implementation->locked || !data)
        return remember(Status::WrongState);
    implementation->locked = false;
    const Status status = fromGdiplus(implementation->bitmap->UnlockBits(&implementation->lockData));
    implementation->lockCopy.clear();
    implementation->lockCopy.shrink_to_fit();
    data->scan0 = nullptr;
    return remember(status);
}

Status Bitmap::remember(Status status)
{
    if (status != Status::Ok)
        lastStatus = status;
    return status;
}

} // namespace platform
