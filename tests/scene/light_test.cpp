// What a light leaves in GL, and the order in which it says it. The GL entry
// points the lights use are interposed here so that each call can be logged on
// its way to the real library.
#include "scene/DirectionalLight.h"

#include "SceneView.h"

#include <dlfcn.h>

#include <array>
#include <string>
#include <vector>

using namespace sceneview;

namespace {

struct Call {
    std::string name;
    GLenum light;
    GLenum parameter;
    std::vector<float> values;
    bool operator==(const Call&) const = default;
};

bool logging = false;
std::vector<Call> calls;

template <typename Function>
Function real(const char* symbol)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, symbol));
}

} // namespace

extern "C" {

void glEnable(GLenum capability)
{
    static auto next = real<void (*)(GLenum)>("glEnable");
    if (logging)
        calls.push_back({"glEnable", capability, 0, {}});
    next(capability);
}

void glDisable(GLenum capability)
{
    static auto next = real<void (*)(GLenum)>("glDisable");
    if (logging)
        calls.push_back({"glDisable", capability, 0, {}});
    next(capability);
}

void glLightfv(GLenum light, GLenum parameter, const GLfloat* values)
{
    static auto next = real<void (*)(GLenum, GLenum, const GLfloat*)>("glLightfv");
    if (logging)
        calls.push_back({"glLightfv", light, parameter, {values[0], values[1], values[2], values[3]}});
    next(light, parameter, values);
}

void glLightf(GLenum light, GLenum parameter, GLfloat value)
{
    static auto next = real<void (*)(GLenum, GLenum, GLfloat)>("glLightf");
    if (logging)
        calls.push_back({"glLightf", light, parameter, {value}});
    next(light, parameter, value);
}

} // extern "C"

namespace {

std::vector<Call> logRender(CompositionalElement& element)
{
    calls.clear();
    logging = true;
    element.render();
    logging = false;
    return calls;
}

std::array<float, 4> lightValues(GLenum light, GLenum parameter)
{
    std::array<float, 4> values{-9.0f, -9.0f, -9.0f, -9.0f};
    glGetLightfv(light, parameter, values.data());
    return values;
}

// The light the scene makes.
DirectionalLight sceneLight()
{
    DirectionalLight light;
    light.direction.x = 0.0f;
    light.direction.y = 0.0f;
    light.direction.z = -1.0f;
    light.specular = {0.4f, 0.4f, 0.4f, 1.0f};
    return light;
}

} // namespace

class LightState : public GLTest {};

TEST_F(LightState, SceneLightLoadsEverythingInOrder)
{
    DirectionalLight light = sceneLight();
    light.direction.w = 7.0f;

    const std::vector<Call> expected = {
        {"glEnable", GL_LIGHT0, 0, {}},
        {"glLightfv", GL_LIGHT0, GL_AMBIENT, {0.3f, 0.3f, 0.3f, 1.0f}},
        {"glLightfv", GL_LIGHT0, GL_DIFFUSE, {1.0f, 1.0f, 1.0f, 1.0f}},
        {"glLightfv", GL_LIGHT0, GL_SPECULAR, {0.4f, 0.4f, 0.4f, 1.0f}},
        {"glLightf", GL_LIGHT0, GL_CONSTANT_ATTENUATION, {1.0f}},
        {"glLightf", GL_LIGHT0, GL_LINEAR_ATTENUATION, {0.0f}},
        {"glLightf", GL_LIGHT0, GL_QUADRATIC_ATTENUATION, {0.0f}},
        {"glLightfv", GL_LIGHT0, GL_POSITION, {0.0f, 0.0f, -1.0f, 0.0f}},
    };
    EXPECT_EQ(logRender(light), expected);
    EXPECT_EQ(light.direction.w, 0.0f);
    // Every render says it all again.
    EXPECT_EQ(logRender(light), expected);
}

TEST_F(LightState, SceneLightAsGLHoldsIt)
{
    DirectionalLight light = sceneLight();
    light.render(); // under the camera only, as the scene renders it

    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_EQ(lightValues(GL_LIGHT0, GL_AMBIENT), (std::array<float, 4>{0.3f, 0.3f, 0.3f, 1.0f}));
    EXPECT_EQ(lightValues(GL_LIGHT0, GL_DIFFUSE), (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(lightValues(GL_LIGHT0, GL_SPECULAR), (std::array<float, 4>{0.4f, 0.4f, 0.4f, 1.0f}));
    EXPECT_EQ(lightValues(GL_LIGHT0, GL_CONSTANT_ATTENUATION)[0], 1.0f);
    EXPECT_EQ(lightValues(GL_LIGHT0, GL_LINEAR_ATTENUATION)[0], 0.0f);
    EXPECT_EQ(lightValues(GL_LIGHT0, GL_QUADRATIC_ATTENUATION)[0], 0.0f);

    // GL keeps the position in eye coordinates: the camera looks along +z, so
    // the world's -z (toward the viewer) is the eye's +z. w = 0: a direction.
    const auto position = lightValues(GL_LIGHT0, GL_POSITION);
    EXPECT_NEAR(position[0], 0.0f, 1e-6f);
    EXPECT_NEAR(position[1], 0.0f, 1e-6f);
    EXPECT_NEAR(position[2], 1.0f, 1e-6f);
    EXPECT_EQ(position[3], 0.0f);
}

TEST_F(LightState, DisabledDirectionalLightOnlyDisablesAndStillAimsTheLight)
{
    DirectionalLight light = sceneLight();
    light.lightId = GL_LIGHT3;
    light.enabled = false;
    light.direction = {1.0f, 0.0f, 0.0f, 5.0f};
    glEnable(GL_LIGHT3);

    const std::vector<Call> expected = {
        {"glDisable", GL_LIGHT3, 0, {}},
        {"glLightfv", GL_LIGHT3, GL_POSITION, {1.0f, 0.0f, 0.0f, 0.0f}},
    };
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    EXPECT_EQ(logRender(light), expected);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT3));
    EXPECT_EQ(light.direction.w, 0.0f);
    EXPECT_EQ(lightValues(GL_LIGHT3, GL_POSITION), (std::array<float, 4>{1.0f, 0.0f, 0.0f, 0.0f}));
}

TEST_F(LightState, DisabledPlainLightOnlyDisables)
{
    Light light;
    light.enabled = false;
    const std::vector<Call> expected = {{"glDisable", GL_LIGHT0, 0, {}}};
    EXPECT_EQ(logRender(light), expected);
}
