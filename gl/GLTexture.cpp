// The GL texture object behind a bitmap: upload with the whole mipmap chain,
// bind, release.
//
// gluBuild2DMipmaps first rescales a side that is not a power of two (768 to
// 1024) and then filters every level in software; that costs about 5 ms per
// letter texture, most of the program's start-up. The owners address the
// texture only in fractions of the whole, so when the context accepts sides of
// any size level 0 goes up as painted and the smaller levels come from a plain
// 2 x 2 box filter; GLU remains the way for contexts that need powers of two.
#include "gl/GLTexture.h"

#include "gl/GLErrorCheck.h"
#include "gl/MipmapChain.h"
#include "platform/draw/Bitmap.h"

#include <GL/glu.h>
// GL_BGRA and GL_TEXTURE_MAX_LEVEL are GL 1.2: Windows' <GL/gl.h> stops at 1.1.
#include <GL/glext.h>

#include <cstdlib>
#include <cstring>

GLTexture::MipmapBuilder GLTexture::mipmapBuilder = GLTexture::MipmapBuilder::Automatic;

namespace {

constexpr GLint defaultMaxLevel = 1000;

bool hasExtension(const char* name)
{
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!extensions)
        return false;
    const std::size_t length = std::strlen(name);
    for (const char* found = std::strstr(extensions, name); found; found = std::strstr(found + length, name)) {
        const bool startsWord = found == extensions || found[-1] == ' ';
        const bool endsWord = found[length] == ' ' || found[length] == '\0';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

bool takesAnyTextureSize()
{
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version && std::atoi(version) >= 2)
        return true;
    return hasExtension("GL_ARB_texture_non_power_of_two");
}

void uploadWithOwnMipmaps(const platform::BitmapData& data)
{
    const int width = static_cast<int>(data.width);
    const int height = static_cast<int>(data.height);
    const std::vector<MipmapLevel> chain = buildMipmapChain(data.scan0, width, height);
    // Told the last level up front, Mesa allocates the whole chain with level 0
    // instead of storing each level apart and copying them all together at the
    // first draw; that halves the cost of the upload. The default goes back
    // afterwards: with the chain complete it means the same.
    // GL_RGBA is the four components that "4" asks for, by name: given that
    // name and blue-green-red-alpha bytes, Mesa keeps the texture in that very
    // byte order and copies each level as it is, where "4" made it reorder
    // every pixel on the way in, half the cost of the upload again.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(chain.size()));
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, data.scan0);
    for (std::size_t i = 0; i < chain.size(); ++i)
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i + 1), GL_RGBA, chain[i].width, chain[i].height, 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, chain[i].pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, defaultMaxLevel);
}

} // namespace

GLTexture::GLTexture()
{
    glGenTextures(1, &textureName);
    ZINDLE_GL_DISCARD_ERROR("glGenTextures");
}

GLTexture::~GLTexture()
{
    bitmap.reset();
    glDeleteTextures(1, &textureName);
}

void GLTexture::upload()
{
    // The owners always paint a bitmap first; without one there is nothing to send.
    if (!bitmap)
        return;
    const platform::Rect whole{0, 0, static_cast<int>(bitmap->getWidth()), static_cast<int>(bitmap->getHeight())};
    platform::BitmapData data;
    if (bitmap->lockBits(whole, &data) != platform::Status::Ok)
        return;

    glBindTexture(GL_TEXTURE_2D, textureName);
    ZINDLE_GL_DISCARD_ERROR("glBindTexture");
    if (mipmapBuilder == MipmapBuilder::Automatic && takesAnyTextureSize())
        uploadWithOwnMipmaps(data);
    else
        gluBuild2DMipmaps(GL_TEXTURE_2D, 4, static_cast<GLint>(data.width), static_cast<GLint>(data.height),
                          GL_BGRA_EXT, GL_UNSIGNED_BYTE, data.scan0);
    ZINDLE_GL_DISCARD_ERROR("building the mipmaps");
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    bitmap->unlockBits(&data);
}

void GLTexture::bind()
{
    if (bitmap)
        glBindTexture(GL_TEXTURE_2D, textureName);
    ZINDLE_GL_DISCARD_ERROR("glBindTexture");
}
