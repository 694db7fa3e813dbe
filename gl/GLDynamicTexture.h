// A texture whose bitmap starts empty, 128 pixels wide and `height` high, for
// its owner to paint.
#pragma once

#include "gl/GLTexture.h"

class GLDynamicTexture : public GLTexture {
public:
    explicit GLDynamicTexture(int height);
};
