// The card that tells how to leave: "Press ESC to Exit" in black on white, one
// flat textured rectangle 1 wide and 0.5 high. Painted and uploaded once, in the
// constructor; the GL context must be current.
#pragma once

#include "gl/GLDynamicTexture.h"
#include "scene/Actor.h"

class TextureNote : public Actor {
public:
    TextureNote();
    ~TextureNote() override = default;

    void draw() override;

    GLDynamicTexture texture;
};
