#include "tests/support/gl_context.h"

#include <GL/gl.h>

#include <cstdlib>

void GLContextTest::SetUp()
{
    context = std::make_unique<platform::HeadlessGLContext>();
    if (!context->ok())
        GTEST_SKIP() << "no GL context (run under xvfb-run): " << context->error();
}

void GLContextTest::TearDown()
{
    context.reset();
}

Rgba TextureLevel::texel(int x, int y) const
{
    const std::uint8_t* p = rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

Rgba TextureLevel::at(double s, double t) const
{
    return texel(static_cast<int>(s * width), static_cast<int>(t * height));
}

TextureLevel readBoundTextureLevel(int level)
{
    TextureLevel result;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &result.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &result.height);
    result.rgba.resize(static_cast<std::size_t>(result.width) * result.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (!result.rgba.empty())
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, result.rgba.data());
    return result;
}

std::vector<std::array<int, 2>> boundTextureLevelSizes()
{
    std::vector<std::array<int, 2>> sizes;
    for (int level = 0; level < 32; ++level) {
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        if (width == 0 || height == 0)
            break;
        sizes.push_back({width, height});
    }
    return sizes;
}

bool near(const Rgba& a, const Rgba& b, int tolerance)
{
    for (int c = 0; c < 4; ++c)
        if (std::abs(a[c] - b[c]) > tolerance)
            return false;
    return true;
}
