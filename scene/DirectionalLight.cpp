// The direction goes to GL as the light's position with w = 0, which makes the
// light infinitely far away. GL transforms it by the modelview matrix current
// here, so the scene renders the light right after the camera: world coordinates.
#include "scene/DirectionalLight.h"

#include <GL/gl.h>

void DirectionalLight::render()
{
    Light::render();

    // Issued whether the light is enabled or not.
    direction.w = 0.0f;
    const auto position = direction.toArray();
    glLightfv(static_cast<GLenum>(lightId), GL_POSITION, position.data());
}
