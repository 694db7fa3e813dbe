// What Bitmap, Font and Graphics hold inside: a Cairo image surface, a Pango
// font description and a Cairo context. Only the Cairo code includes this
// header; it is how the fills, the text and the picture reach the pixels.
#pragma once

#include "platform/draw/Bitmap.h"
#include "platform/draw/Font.h"
#include "platform/draw/Graphics.h"

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

// Sets an 0xAARRGGBB colour as the context's source.
void setSourceColor(cairo_t* context, std::uint32_t color);
} // namespace platform
