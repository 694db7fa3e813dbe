// One GL texture object paired with the bitmap that holds its pixels. The owner
// paints into the bitmap, calls upload() once, and binds the texture before its
// geometry every frame. Construction and destruction need the GL context current.
#pragma once

#include <memory>

namespace platform {
class Bitmap;
}

class GLTexture {
public:
    GLTexture();
    virtual ~GLTexture();
    GLTexture(const GLTexture&) = delete;
    GLTexture& operator=(const GLTexture&) = delete;

    // Null only when the bitmap object could not be made.
    platform::Bitmap* getBitmap() const { return bitmap.get(); }

    // Copies the bitmap into the texture with its whole mipmap chain and sets
    // the filters; leaves the texture bound. Does nothing at all if the pixels
    // cannot be locked.
    void upload();
    // Selects this texture for the geometry that follows; a texture without a
    // bitmap leaves the current binding alone.
    void bind();

    unsigned textureName = 0;

    // How upload() builds the mipmap chain. Automatic keeps the image at its
    // own size and builds the levels itself when the context takes textures
    // whose sides are not powers of two (GL 2.0), and uses GLU otherwise;
    // Glu always lets gluBuild2DMipmaps rescale and build (for comparisons).
    enum class MipmapBuilder { Automatic, Glu };
    static MipmapBuilder mipmapBuilder;

protected:
    std::unique_ptr<platform::Bitmap> bitmap;
};
