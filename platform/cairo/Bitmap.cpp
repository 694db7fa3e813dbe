// The in-memory bitmap: a Cairo ARGB32 image surface, and locking its pixels
// for reading as packed top-down rows of blue, green, red, alpha bytes.
// Decoding from a file lives in BitmapFile.cpp.
#include "platform/draw/Bitmap.h"

#include "platform/cairo/CairoImpl.h"
#include "platform/draw/LockedRows.h"

namespace platform {

Bitmap::Bitmap(int width, int height) : implementation(std::make_unique<Impl>())
{
    if (width <= 0 || height <= 0) {
        remember(Status::InvalidParameter);
        return;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    const cairo_status_t created = cairo_surface_status(surface);
    if (created != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        remember(created == CAIRO_STATUS_NO_MEMORY ? Status::OutOfMemory : Status::InvalidParameter);
        return;
    }
    implementation->surface = surface;
}

Bitmap::~Bitmap() = default;

unsigned Bitmap::getWidth()
{
    if (!implementation->surface) {
        remember(Status::InvalidParameter);
        return 0;
    }
    return static_cast<unsigned>(cairo_image_surface_get_width(implementation->surface));
}

unsigned Bitmap::getHeight()
{
    if (!implementation->surface) {
        remember(Status::InvalidParameter);
        return 0;
    }
    return static_cast<unsigned>(cairo_image_surface_get_height(implementation->surface));
}

Status Bitmap::lockBits(const Rect& rect, BitmapData* data)
{
    cairo_surface_t* surface = implementation->surface;
    if (!surface || !data)
        return remember(Status::InvalidParameter);
    if (implementation->locked)
        return remember(Status::WrongState);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    if (!lockableRect(rect, width, height))
        return remember(Status::InvalidParameter);

    // Pending drawing must be in the pixels before anyone reads them.
    cairo_surface_flush(surface);
    const std::uint8_t* pixels = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const std::uint8_t* first = pixels + static_cast<std::size_t>(rect.y) * stride + std::size_t{4} * rect.x;
    // A partial width (or a padded surface) is copied: readers expect packed rows.
    handOutRows(rect, first, stride, implementation->lockCopy, data);
    implementation->locked = true;
    return Status::Ok;
}

Status Bitmap::unlockBits(BitmapData* data)
{
    if (!implementation->locked || !data)
        return remember(Status::WrongState);
    implementation->locked = false;
    implementation->lockCopy.clear();
    implementation->lockCopy.shrink_to_fit();
    data->scan0 = nullptr;
    return Status::Ok;
}

Status Bitmap::remember(Status status)
{
    if (status != Status::Ok)
        lastStatus = status;
    return status;
}

} // namespace platform
