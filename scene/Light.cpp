// Loads one fixed-function light from the object's fields, all of them again on
// every render: nothing is cached between frames.
#include "scene/Light.h"

#include <GL/gl.h>

void Light::render()
{
    const GLenum light = lightId;
    if (!enabled) {
        glDisable(light);
        return;
    }

    glEnable(light);
    const auto ambientValues = ambient.toArray();
    const auto diffuseValues = diffuse.toArray();
    const auto specularValues = specular.toArray();
    glLightfv(light, GL_AMBIENT, ambientValues.data());
    glLightfv(light, GL_DIFFUSE, diffuseValues.data());
    glLightfv(light, GL_SPECULAR, specularValues.data());
    glLightf(light, GL_CONSTANT_ATTENUATION, constantAttenuation);
    glLightf(light, GL_LINEAR_ATTENUATION, linearAttenuation);
    glLightf(light, GL_QUADRATIC_ATTENUATION, quadraticAttenuation);
}
