// The exit card: "Press ESC to Exit" in black on a white 128 x 64 texture, on a
// rectangle 1 wide and 0.5 high. Its font lives only while the card is painted.
#include "scene/TextureNote.h"

#include "platform/draw/Bitmap.h"
#include "platform/draw/Font.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/SolidBrush.h"
#include "platform/draw/StringFormat.h"

#include <GL/gl.h>

#include <memory>

namespace {

constexpr int cardWidth = 128;
constexpr int cardHeight = 64;

struct Corner {
    float s, t;
    float x, y, z;
};

// s falls as x rises and t falls as y rises: seen from -z with +y up, as the
// scene's camera sees it, the text reads left to right and upright.
constexpr Corner corners[4] = {
    {1, 1, 0, 0, 0},
    {0, 1, 1, 0, 0},
    {1, 0, 0, 0.5f, 0},
    {0, 0, 1, 0.5f, 0},
};

} // namespace

TextureNote::TextureNote() : texture(cardHeight)
{
    auto font = std::make_unique<platform::Font>(u"Arial", 12.0f, platform::FontStyleBold, platform::UnitPoint);
    auto graphics = std::make_unique<platform::Graphics>(texture.getBitmap());
    auto white = std::make_unique<platform::SolidBrush>(0xFFFFFFFFu);
    auto black = std::make_unique<platform::SolidBrush>(0xFF000000u);

    graphics->fillRectangle(white.get(), 0, 0, cardWidth, cardHeight);

    auto format = std::make_unique<platform::StringFormat>(0, 0);
    format->setAlignment(platform::StringAlignmentCenter);
    format->setLineAlignment(platform::StringAlignmentCenter);

    const platform::RectF layout{0.0f, 0.0f, static_cast<float>(cardWidth), static_cast<float>(cardHeight)};
    graphics->drawString(u"Press ESC to Exit", -1, font.get(), layout, format.get(), black.get());

    texture.upload();

    graphics.reset();
    format.reset();
    black.reset();
    white.reset();
    font.reset();
}

void TextureNote::draw()
{
    texture.bind();
    glBegin(GL_QUAD_STRIP);
    glNormal3f(0.0f, 0.0f, -1.0f);
    for (const Corner& corner : corners) {
        glTexCoord2f(corner.s, corner.t);
        glVertex4f(corner.x, corner.y, corner.z, 1.0f);
    }
    glEnd();
}
