// What Bitmap, Font and Graphics hold inside: a GDI+ bitmap, a GDI+ font and a
// GDI+ graphics context, made through the Windows SDK's wrapper classes (whose
// operator new is GDI+'s own allocator). Only the GDI+ code includes this
// header; it is how the fills, the text and the picture reach the pixels.
#pragma once

#include "platform/draw/Bitmap.h"
#include "platform/draw/Font.h"
#include "platform/draw/Graphics.h"

// gdiplus.h needs the whole of windows.h (not its lean half) and objidl.h first.
#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct Bitmap::Impl {
    // The decoded picture's pixels, which `bitmap` wraps without a copy; empty
    // for a bitmap that owns its pixels. Declared first so that it outlives
    // the bitmap.
    std::unique_ptr<std::uint32_t[]> pixels;
    // Null when the bitmap holds no picture.
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    bool locked = false;
    Gdiplus::BitmapData lockData{};
    // Rows copied out for a lock whose rows GDI+ does not hand out packed.
    std::vector<std::uint8_t> lockCopy;

    ~Impl()
    {
        if (locked)
            bitmap->UnlockBits(&lockData);
    }
};

struct Font::Impl {
    std::unique_ptr<Gdiplus::Font> font; // null when no face is usable
    std::string family;
};

struct Graphics::Impl {
    Bitmap* bitmap = nullptr;
    std::unique_ptr<Gdiplus::Graphics> graphics; // null when the bitmap holds no pixels
};

// GDI+'s statuses that the drawing interfaces know keep their value; the rest
// are reported as a generic failure.
Status fromGdiplus(Gdiplus::Status status);

} // namespace platform
