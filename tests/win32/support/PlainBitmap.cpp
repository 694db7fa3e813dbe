// Bitmaps as plain memory, for the Win32 platform's tests where the GDI+
// drawing part is not built: an empty surface of a size, each pixel the bytes
// blue, green, red, alpha, opaque grey so that a drawn picture shows.
#include "platform/draw/Bitmap.h"

#include <vector>

namespace platform {

struct Bitmap::Impl {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<std::uint8_t> pixels;
    bool locked = false;
};

Bitmap::Bitmap(int width, int height) : implementation(std::make_unique<Impl>())
{
    if (width <= 0 || height <= 0) {
        lastStatus = Status::InvalidParameter;
        return;
    }
    implementation->width = static_cast<unsigned>(width);
    implementation->height = static_cast<unsigned>(height);
    implementation->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0x80);
    for (std::size_t alpha = 3; alpha < implementation->pixels.size(); alpha += 4)
        implementation->pixels[alpha] = 0xFF;
}

Bitmap::Bitmap(const char*, int, int) : implementation(std::make_unique<Impl>())
{
    lastStatus = Status::FileNotFound;
}

Bitmap::~Bitmap() = default;

unsigned Bitmap::getWidth()
{
    return implementation->width;
}

unsigned Bitmap::getHeight()
{
    return implementation->height;
}

Status Bitmap::lockBits(const Rect& rect, BitmapData* data)
{
    Impl& bitmap = *implementation;
    const Rect whole{0, 0, static_cast<int>(bitmap.width), static_cast<int>(bitmap.height)};
    if (bitmap.pixels.empty() || bitmap.locked || rect.x != 0 || rect.y != 0 || rect.width != whole.width ||
        rect.height != whole.height)
        return remember(Status::InvalidParameter);
    bitmap.locked = true;
    *data = {bitmap.width, bitmap.height, static_cast<int>(bitmap.width * 4), bitmap.pixels.data()};
    return Status::Ok;
}

Status Bitmap::unlockBits(BitmapData*)
{
    implementation->locked = false;
    return Status::Ok;
}

Status Bitmap::remember(Status status)
{
    if (status != Status::Ok)
        lastStatus = status;
    return status;
}

} // namespace platform
