// Real GL for tests: a fixture that gives each test a current context from a
// hidden window (Xvfb, or SDL's offscreen driver) and skips the test, saying
// why, when none can be made; and read-back of the bound texture's levels.
#pragma once

#include "tests/support/HeadlessGLContext.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class GLContextTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<platform::HeadlessGLContext> context;
};

using Rgba = std::array<std::uint8_t, 4>;

// One level of the texture bound to GL_TEXTURE_2D, as RGBA bytes, rows in
// texture order (row 0 at t = 0).
struct TextureLevel {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    Rgba texel(int x, int y) const;
    // The texel holding the point (s, t), both in [0, 1).
    Rgba at(double s, double t) const;
};

TextureLevel readBoundTextureLevel(int level);

// Sizes of every level the bound texture holds, from level 0 down.
std::vector<std::array<int, 2>> boundTextureLevelSizes();

// Whether two colours agree within `tolerance` on every channel.
bool near(const Rgba& a, const Rgba& b, int tolerance = 0);
