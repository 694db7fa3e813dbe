// An element with a placement that draws geometry inside the unit box
// (0, 0, 0)-(1, 1, 1). The owner places it: push, translate by position, rotate
// about x, y then z by rotation, shift by -0.5 on each axis, render, pop.
#pragma once

#include "scene/CompositionalElement.h"
#include "util/Vector4.h"

class Actor : public CompositionalElement {
public:
    void render() override { draw(); }
    virtual void draw() = 0;
    virtual ~Actor() = default;

    Vector4 position{0.0f, 0.0f, 0.0f, 1.0f};
    Vector4 rotation{0.0f, 0.0f, 0.0f, 1.0f};
};
