// Drawing into a bitmap through a Cairo context on its surface: opaque fills.
// The text half of Graphics is in GraphicsText.cpp.
#include "platform/draw/Graphics.h"

#include "platform/cairo/CairoImpl.h"
#include "platform/draw/SolidBrush.h"

namespace platform {

void setSourceColor(cairo_t* context, ARGB color)
{
    cairo_set_source_rgba(context, ((color >> 16) & 0xff) / 255.0, ((color >> 8) & 0xff) / 255.0,
                          (color & 0xff) / 255.0, ((color >> 24) & 0xff) / 255.0);
}

Graphics::Graphics(Bitmap* bitmap) : implementation(std::make_unique<Impl>())
{
    implementation->bitmap = bitmap;
    cairo_surface_t* surface = bitmap != nullptr ? bitmap->impl()->surface : nullptr;
    if (!surface) {
        remember(Status::InvalidParameter);
        return;
    }
    cairo_t* context = cairo_create(surface);
    if (cairo_status(context) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(context);
        remember(Status::OutOfMemory);
        return;
    }
    implementation->context = context;
}

Graphics::~Graphics()
{
    // Whoever reads the pixels next (a lock, the window) sees everything drawn.
    if (implementation->context)
        cairo_surface_flush(cairo_get_target(implementation->context));
}

Status Graphics::fillRectangle(const SolidBrush* brush, int x, int y, int width, int height)
{
    cairo_t* context = implementation->context;
    if (!context || !brush || width < 0 || height < 0)
        return remember(Status::InvalidParameter);
    if (implementation->bitmap->impl()->locked)
        return remember(Status::ObjectBusy);
    setSourceColor(context, brush->getColor());
    cairo_rectangle(context, x, y, width, height);
    cairo_fill(context);
    return Status::Ok;
}

Status Graphics::remember(Status status)
{
    if (status != Status::Ok)
        lastStatus = status;
    return status;
}

} // namespace platform
