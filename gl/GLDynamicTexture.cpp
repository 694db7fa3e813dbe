#include "gl/GLDynamicTexture.h"

#include "platform/draw/Bitmap.h"

#include <new>

namespace {
constexpr int bitmapWidth = 128;
}

GLDynamicTexture::GLDynamicTexture(int height)
{
    // A bitmap that cannot be allocated leaves the pointer null; bind() and
    // upload() then treat the texture as having no picture.
    try {
        bitmap.reset(new (std::nothrow) platform::Bitmap(bitmapWidth, height));
    } catch (const std::bad_alloc&) {
        bitmap.reset();
    }
}
