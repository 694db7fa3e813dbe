// One fixed-function GL light: rendering enables and loads it, or disables it.
#pragma once

#include "scene/CompositionalElement.h"
#include "util/Vector4.h"

#include <cstdint>

class Light : public CompositionalElement {
public:
    void render() override;
    virtual ~Light() = default;

    std::uint32_t lightId = 0x4000; // GL_LIGHT0
    bool enabled = true;
    Vector4 ambient{0.3f, 0.3f, 0.3f, 1.0f};
    Vector4 diffuse{1.0f, 1.0f, 1.0f, 1.0f};
    Vector4 specular{0.2f, 0.2f, 0.2f, 1.0f};
    float constantAttenuation = 1.0f;
    float linearAttenuation = 0.0f;
    float quadraticAttenuation = 0.0f;
};
