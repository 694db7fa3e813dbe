// The lettered cube. Its texture is a strip of six 128 x 128 cells, top to
// bottom, each with the character centred on white in a random colour; the
// cube's faces each show one cell.
#include "scene/Cubbit.h"

#include "platform/draw/Bitmap.h"
#include "platform/draw/Font.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/SolidBrush.h"
#include "platform/draw/StringFormat.h"

#include <GL/gl.h>

#include <cstdlib>
#include <memory>

std::int32_t Cubbit::instanceCount = 0;
platform::Font* Cubbit::sharedFont = nullptr;

namespace {

constexpr int cellSize = 128;
constexpr int cellCount = 6;
constexpr platform::ARGB opaqueWhite = 0xFFFFFFFF;

struct Corner {
    float s, t;
    float x, y, z;
};

struct Face {
    float normal[3];
    Corner corners[4];
};

constexpr float sixth = 1.0f / 6.0f;
constexpr float twoSixths = 2.0f / 6.0f;
constexpr float fourSixths = 4.0f / 6.0f;
constexpr float fiveSixths = 5.0f / 6.0f;

// Faces 1 to 4 wrap cells 0 to 3 around the x axis without a break; faces 5 and
// 6 close the ends with cells 4 and 5. The character's top (the smaller t) lies
// toward +y on the faces 2, 5 and 6, toward -y on face 4, toward -z on face 1 and
// toward +z on face 3.
constexpr Face faces[cellCount] = {
    {{0, 1, 0}, {{0, 0, 0, 1, 0}, {1, 0, 1, 1, 0}, {0, sixth, 0, 1, 1}, {1, sixth, 1, 1, 1}}},
    {{0, 0, 1}, {{0, sixth, 0, 1, 1}, {1, sixth, 1, 1, 1}, {0, twoSixths, 0, 0, 1}, {1, twoSixths, 1, 0, 1}}},
    {{0, -1, 0}, {{0, twoSixths, 0, 0, 1}, {1, twoSixths, 1, 0, 1}, {0, 0.5f, 0, 0, 0}, {1, 0.5f, 1, 0, 0}}},
    {{0, 0, -1}, {{0, 0.5f, 0, 0, 0}, {1, 0.5f, 1, 0, 0}, {0, fourSixths, 0, 1, 0}, {1, fourSixths, 1, 1, 0}}},
    {{-1, 0, 0},
     {{0, fourSixths, 0, 1, 0}, {1, fourSixths, 0, 1, 1}, {0, fiveSixths, 0, 0, 0}, {1, fiveSixths, 0, 0, 1}}},
    {{1, 0, 0}, {{0, 1, 1, 0, 0}, {1, 1, 1, 0, 1}, {0, fiveSixths, 1, 1, 0}, {1, fiveSixths, 1, 1, 1}}},
};

// One cell's ink from three draws: blue, green, red, each the low 8 bits of its
// rand() result, in that order. The order of the draws is part of how a seed
// colours the blocks, so it is kept as it is.
platform::ARGB drawCellColour()
{
    const auto blue = static_cast<platform::ARGB>(std::rand()) & 0xFFu;
    const auto green = static_cast<platform::ARGB>(std::rand()) & 0xFFu;
    const auto red = static_cast<platform::ARGB>(std::rand()) & 0xFFu;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

} // namespace

Cubbit::Cubbit(std::int32_t code, const char16_t* text) : texture(cellSize * cellCount), keyCode(code)
{
    if (instanceCount == 0)
        sharedFont = new platform::Font(u"Impact", 72.0f, platform::FontStyleBold, platform::UnitPoint);
    ++instanceCount;

    auto graphics = std::make_unique<platform::Graphics>(texture.getBitmap());
    auto white = std::make_unique<platform::SolidBrush>(opaqueWhite);
    graphics->fillRectangle(white.get(), 0, 0, cellSize, cellSize * cellCount);

    auto format = std::make_unique<platform::StringFormat>(0, 0);
    format->setAlignment(platform::StringAlignmentCenter);
    format->setLineAlignment(platform::StringAlignmentCenter);

    platform::RectF layout{0.0f, 0.0f, static_cast<float>(cellSize), static_cast<float>(cellSize)};
    for (int cell = 0; cell < cellCount; ++cell) {
        auto ink = std::make_unique<platform::SolidBrush>(drawCellColour());
        graphics->drawString(text, -1, sharedFont, layout, format.get(), ink.get());
        layout.y += static_cast<float>(cellSize);
    }

    texture.upload();

    graphics.reset();
    format.reset();
    white.reset();
}

Cubbit::~Cubbit()
{
    --instanceCount;
    if (instanceCount == 0 && sharedFont != nullptr) {
        delete sharedFont;
        sharedFont = nullptr;
    }
}

void Cubbit::draw()
{
    texture.bind();
    for (const Face& face : faces) {
        glBegin(GL_QUAD_STRIP);
        glNormal3f(face.normal[0], face.normal[1], face.normal[2]);
        for (const Corner& corner : face.corners) {
            glTexCoord2f(corner.s, corner.t);
            glVertex4f(corner.x, corner.y, corner.z, 1.0f);
        }
        glEnd();
    }
}
