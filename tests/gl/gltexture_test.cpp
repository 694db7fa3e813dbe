// GLTexture and GLDynamicTexture against a real GL context: where the painted
// pixels land in the texture (byte order, orientation, the six bands of a
// letter block), the mipmap chain and filters, and the calls that must leave
// GL alone. Layout tests run on both mipmap builders.
#include "gl/GLDynamicTexture.h"
#include "platform/draw/Bitmap.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/SolidBrush.h"
#include "tests/support/fixtures/gl_context.h"

#include <GL/gl.h>

namespace {

constexpr Rgba red{255, 0, 0, 255};
constexpr Rgba white{255, 255, 255, 255};

void fill(platform::Bitmap* bitmap, platform::ARGB color, int x, int y, int width, int height)
{
    platform::Graphics graphics(bitmap);
    platform::SolidBrush brush(color);
    ASSERT_EQ(graphics.fillRectangle(&brush, x, y, width, height), platform::Status::Ok);
}

Rgba rgbaOf(platform::ARGB color)
{
    return {static_cast<std::uint8_t>(color >> 16), static_cast<std::uint8_t>(color >> 8),
            static_cast<std::uint8_t>(color), static_cast<std::uint8_t>(color >> 24)};
}

GLint boundTexture()
{
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

// Leaves GL_INVALID_ENUM pending, so a test can tell whether glGetError ran.
void raiseGLError()
{
    glBindTexture(0x1234, 0);
}

class TextureLayoutTest : public GLContextTest, public ::testing::WithParamInterface<GLTexture::MipmapBuilder> {
protected:
    void SetUp() override
    {
        GLContextTest::SetUp();
        GLTexture::mipmapBuilder = GetParam();
    }
    void TearDown() override
    {
        GLTexture::mipmapBuilder = GLTexture::MipmapBuilder::Automatic;
        GLContextTest::TearDown();
    }
};

constexpr platform::ARGB bandColors[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};

TEST_P(TextureLayoutTest, TopLeftPixelIsRedAtTheOrigin)
{
    GLDynamicTexture texture(64);
    fill(texture.getBitmap(), 0xFFFFFFFF, 0, 0, 128, 64);
    fill(texture.getBitmap(), 0xFFFF0000, 0, 0, 8, 8);
    texture.upload();

    const TextureLevel level0 = readBoundTextureLevel(0);
    EXPECT_EQ(level0.texel(0, 0), red) << "red must not come back as blue";
    EXPECT_EQ(level0.texel(127, 0), white);
    EXPECT_EQ(level0.texel(0, 63), white);

    // Drawn through GL: texture coordinate (0, 0) at the window's top-left.
    glViewport(0, 0, 128, 64);
    glEnable(GL_TEXTURE_2D);
    glClear(GL_COLOR_BUFFER_BIT);
    texture.bind();
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(-1, 1);
    glTexCoord2f(1, 0), glVertex2f(1, 1);
    glTexCoord2f(1, 1), glVertex2f(1, -1);
    glTexCoord2f(0, 1), glVertex2f(-1, -1);
    glEnd();
    glFinish();
    Rgba topLeft{}, bottomRight{};
    glReadPixels(0, 63, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, topLeft.data());
    glReadPixels(127, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, bottomRight.data());
    EXPECT_TRUE(near(topLeft, red, 2)) << int(topLeft[0]) << "," << int(topLeft[1]) << "," << int(topLeft[2]);
    EXPECT_TRUE(near(bottomRight, white, 2));
}

TEST_P(TextureLayoutTest, SixBandsLandAtTheSixSixthsOfT)
{
    GLDynamicTexture texture(768);
    for (int band = 0; band < 6; ++band)
        fill(texture.getBitmap(), bandColors[band], 0, 128 * band, 128, 128);
    texture.upload();

    // Level 0 and two levels down, at the middle and near both edges of each band.
    for (int level : {0, 2, 4}) {
        const TextureLevel image = readBoundTextureLevel(level);
        for (int band = 0; band < 6; ++band)
            for (double within : {0.1, 0.5, 0.9}) {
                SCOPED_TRACE(testing::Message() << "level " << level << " band " << band << " at " << within);
                EXPECT_TRUE(near(image.at(0.5, (band + within) / 6), rgbaOf(bandColors[band]), 1));
            }
    }
}

TEST_P(TextureLayoutTest, WholeMipmapChainWithLinearFilters)
{
    GLDynamicTexture texture(768);
    fill(texture.getBitmap(), 0xFF336699, 0, 0, 128, 768);
    texture.upload();

    const auto sizes = boundTextureLevelSizes();
    ASSERT_GE(sizes.size(), 2u);
    for (std::size_t i = 1; i < sizes.size(); ++i) {
        EXPECT_EQ(sizes[i][0], std::max(1, sizes[i - 1][0] / 2)) << "level " << i;
        EXPECT_EQ(sizes[i][1], std::max(1, sizes[i - 1][1] / 2)) << "level " << i;
    }
    EXPECT_EQ(sizes.back(), (std::array<int, 2>{1, 1}));
    // A flat colour stays that colour all the way down.
    EXPECT_TRUE(near(readBoundTextureLevel(static_cast<int>(sizes.size()) - 1).texel(0, 0), rgbaOf(0xFF336699), 1));

    GLint minFilter = 0, magFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    EXPECT_EQ(boundTexture(), static_cast<GLint>(texture.textureName)) << "upload() leaves the texture bound";
}

TEST_P(TextureLayoutTest, A64HighCardUploadsWholeAndUnscaled)
{
    GLDynamicTexture texture(64);
    fill(texture.getBitmap(), 0xFFFFFFFF, 0, 0, 128, 64);
    fill(texture.getBitmap(), 0xFF102030, 3, 5, 40, 17);
    fill(texture.getBitmap(), 0xFFC08040, 90, 50, 38, 14);
    texture.upload();

    const TextureLevel level0 = readBoundTextureLevel(0);
    ASSERT_EQ(level0.width, 128);
    ASSERT_EQ(level0.height, 64);
    platform::BitmapData data;
    ASSERT_EQ(texture.getBitmap()->lockBits({0, 0, 128, 64}, &data), platform::Status::Ok);
    int mismatches = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x) {
            const std::uint8_t* bgra = data.scan0 + y * data.stride + 4 * x;
            mismatches += level0.texel(x, y) != Rgba{bgra[2], bgra[1], bgra[0], bgra[3]};
        }
    texture.getBitmap()->unlockBits(&data);
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(BothBuilders, TextureLayoutTest,
                         ::testing::Values(GLTexture::MipmapBuilder::Automatic, GLTexture::MipmapBuilder::Glu),
                         [](const auto& param) {
                             return param.param == GLTexture::MipmapBuilder::Glu ? "Glu" : "OwnChain";
                         });

using TextureStateTest = GLContextTest;

TEST_F(TextureStateTest, BindWithoutBitmapKeepsTheEarlierBindingButClearsErrors)
{
    GLuint earlier = 0;
    glGenTextures(1, &earlier);
    glBindTexture(GL_TEXTURE_2D, earlier);
    GLTexture bare;
    ASSERT_EQ(bare.getBitmap(), nullptr);
    raiseGLError();

    bare.bind();
    EXPECT_EQ(boundTexture(), static_cast<GLint>(earlier));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "bind() calls glGetError in every case";

    GLDynamicTexture painted(64);
    painted.bind();
    EXPECT_EQ(boundTexture(), static_cast<GLint>(painted.textureName));
    glDeleteTextures(1, &earlier);
}

TEST_F(TextureStateTest, DestroyingATextureDeletesItsName)
{
    GLuint neverUploaded = 0;
    GLuint uploaded = 0;
    {
        GLDynamicTexture first(64);
        first.bind(); // a name becomes a texture object once bound
        neverUploaded = first.textureName;
        GLDynamicTexture second(64);
        second.upload();
        uploaded = second.textureName;
        ASSERT_TRUE(glIsTexture(neverUploaded));
        ASSERT_TRUE(glIsTexture(uploaded));
        ASSERT_NE(neverUploaded, uploaded);
    }
    EXPECT_FALSE(glIsTexture(neverUploaded));
    EXPECT_FALSE(glIsTexture(uploaded));
}

// An upload that cannot lock the pixels must not touch GL at all: the name
// stays unbound (so no texture object), the binding stays, and a pending GL
// error is still there because not even glGetError ran.
void expectUploadLeavesGLAlone(GLTexture& texture)
{
    GLuint earlier = 0;
    glGenTextures(1, &earlier);
    glBindTexture(GL_TEXTURE_2D, earlier);
    raiseGLError();

    texture.upload();

    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_ENUM));
    EXPECT_EQ(boundTexture(), static_cast<GLint>(earlier));
    EXPECT_FALSE(glIsTexture(texture.textureName));
    glDeleteTextures(1, &earlier);
}

TEST_F(TextureStateTest, FailedLockMakesNoGLCall)
{
    {
        SCOPED_TRACE("bitmap already locked");
        GLDynamicTexture texture(64);
        platform::BitmapData held;
        ASSERT_EQ(texture.getBitmap()->lockBits({0, 0, 128, 64}, &held), platform::Status::Ok);
        expectUploadLeavesGLAlone(texture);
        EXPECT_EQ(texture.getBitmap()->getLastStatus(), platform::Status::WrongState);
        texture.getBitmap()->unlockBits(&held);
    }
    {
        SCOPED_TRACE("negative height: a bitmap without pixels");
        GLDynamicTexture texture(-4);
        ASSERT_NE(texture.getBitmap(), nullptr);
        EXPECT_EQ(texture.getBitmap()->getWidth(), 0u);
        expectUploadLeavesGLAlone(texture);
    }
    {
        SCOPED_TRACE("no bitmap at all");
        GLTexture bare;
        expectUploadLeavesGLAlone(bare);
    }
}

} // namespace
