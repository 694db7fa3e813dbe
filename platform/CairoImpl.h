// What Bitmap and Font hold inside: a Cairo image surface and a Pango font
// description. Only platform/*.cpp include this header; it is how the canvas,
// the text and the window code reach the pixels and the chosen face.
#pragma once

#include "platform/Bitmap.h"
#include "platform/Font.h"
#include "platform/Graphics.h"

#include <cairo.h>
#include <pango/pango-font.h>

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct Bitmap::Impl {
    // Premultiplied ARGB32: on little-endian machines the bytes blue, green,
    // red, alpha, rows top-down. Null when the bitmap holds no picture.
    cairo_surface_t* surface = nullptr;
    bool locked = false;
    // Rows copied out for a lock whose rows are not already packed in place.
    std::vector<std::uint8_t> lockCopy;

    ~Impl()
    {
        if (surface)
            cairo_surface_destroy(surface);
    }
};

struct Font::Impl {
    PangoFontDescription* description = nullptr; // null when no face is usable
    std::string family;

    ~Impl()
    {
        if (description)
            pango_font_description_free(description);
    }
};

struct Graphics::Impl {
    Bitmap* bitmap = nullptr;
    cairo_t* context = nullptr; // null when the bitmap holds no pixels

    ~Impl()
    {
        if (context)
            cairo_destroy(context);
    }
};

// The surface of a bitmap, or null when it holds no picture.
inline cairo_surface_t* surfaceOf(Bitmap* bitmap)
{
    return bitmap && bitmap->impl() ? bitmap->impl()->surface : nullptr;
}

} // namespace platform

namespace platform {
// Sets an 0xAARRGGBB colour as the context's source.
void setSourceColor(cairo_t* context, std::uint32_t color);
} // namespace platform
