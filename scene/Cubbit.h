// The lettered cube: one character on all six faces, each face in a random
// colour of its own, and the key code of the key that throws it. Painted and
// uploaded once, in the constructor; the GL context must be current.
#pragma once

#include "gl/GLDynamicTexture.h"
#include "scene/Actor.h"

#include <cstdint>

namespace platform {
class Font;
}

class Cubbit : public Actor {
public:
    Cubbit(std::int32_t keyCode, const char16_t* text);
    ~Cubbit() override;

    void draw() override;

    GLDynamicTexture texture;
    std::int32_t keyCode;

    // Blocks alive, and the font they all paint with: made by the first block,
    // released with the last.
    static std::int32_t instanceCount;
    static platform::Font* sharedFont;
};
