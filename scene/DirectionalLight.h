// A light infinitely far away: its direction goes to GL as the light's position
// with w = 0, in the coordinates of the modelview matrix current at render().
#pragma once

#include "scene/Light.h"

class DirectionalLight : public Light {
public:
    void render() override;

    Vector4 direction{0.0f, 0.0f, 1.0f, 0.0f};
};
