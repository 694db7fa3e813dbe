// A bitmap decoded from a picture file: the shared picture reader decodes it,
// and the Cairo surface takes over its pixels without a copy (an ARGB32
// surface's rows are packed at 4 * width bytes, as the reader's are). Every
// failure leaves a bitmap with no picture and a status, and prints nothing.
#include "platform/draw/Bitmap.h"

#include "platform/cairo/CairoImpl.h"
#include "platform/picture/PictureReader.h"

namespace platform {

namespace {

const cairo_user_data_key_t pixelsKey{};

void freePixels(void* pixels)
{
    delete[] static_cast<std::uint32_t*>(pixels);
}

} // namespace

Bitmap::Bitmap(const char* fileName, int coverWidth, int coverHeight) : implementation(std::make_unique<Impl>())
{
    PicturePixels picture;
    if (const Status read = readPicture(fileName, coverWidth, coverHeight, picture); read != Status::Ok) {
        remember(read);
        return;
    }
    auto* data = reinterpret_cast<unsigned char*>(picture.pixels.get());
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(data, CAIRO_FORMAT_ARGB32, picture.width, picture.height, picture.stride());
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_set_user_data(surface, &pixelsKey, picture.pixels.get(), freePixels) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        remember(Status::OutOfMemory);
        return;
    }
    picture.pixels.release();
    implementation->surface = surface;
}

} // namespace platform
