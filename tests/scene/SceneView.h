// What the scene tests share: one hidden GL context for the whole program, the
// scene's global state, the game's own projection and camera (placeCamera),
// the owner's placement of an actor, and reading the frame back to compare it
// with the painted bitmaps.
#pragma once

#include "game/Camera.h"
#include "platform/draw/Bitmap.h"
#include "scene/Placement.h"
#include "tests/support/fixtures/HeadlessGLContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <vector>

namespace sceneview {

constexpr int viewSize = 768;

// Made on first use and kept: SDL does not like a window per test.
inline platform::HeadlessGLContext& context()
{
    static auto shared = std::make_unique<platform::HeadlessGLContext>(viewSize, viewSize);
    return *shared;
}

// A test that needs GL: a current context with the state the frame sets up,
// cleared to black so that whatever is drawn stands out.
class GLTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!context().ok())
            GTEST_SKIP() << "no GL context: " << context().error();
        context().makeCurrent();
        glViewport(0, 0, viewSize, viewSize);
        glEnable(GL_TEXTURE_2D);
        glShadeModel(GL_SMOOTH);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
        glClearDepth(1.0);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glDisable(GL_LIGHTING);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        placeCamera();
    }
};

struct Rgb {
    int r = 0, g = 0, b = 0;
    int distanceFromWhite() const { return (255 - r) + (255 - g) + (255 - b); }
};

// An RGB picture, row 0 at the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

inline Picture readFrame()
{
    glFinish();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(viewSize * viewSize * 3));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, viewSize, viewSize, GL_RGB, GL_UNSIGNED_BYTE, bytes.data());
    Picture picture{viewSize, viewSize, {}};
    picture.pixels.resize(static_cast<std::size_t>(viewSize * viewSize));
    for (int y = 0; y < viewSize; ++y)
        for (int x = 0; x < viewSize; ++x) {
            const std::uint8_t* p = &bytes[static_cast<std::size_t>(((viewSize - 1 - y) * viewSize + x) * 3)];
            picture.pixels[static_cast<std::size_t>(y * viewSize + x)] = {p[0], p[1], p[2]};
        }
    return picture;
}

// Rows [top, top + height) of a bitmap's painted pixels.
inline Picture readBitmap(platform::Bitmap& bitmap, int top, int height)
{
    platform::BitmapData data;
    const int width = static_cast<int>(bitmap.getWidth());
    Picture picture{width, height, {}};
    if (bitmap.lockBits({0, top, width, height}, &data) != platform::Status::Ok)
        return picture;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = data.scan0 + y * data.stride + x * 4;
            picture.pixels.push_back({p[2], p[1], p[0]});
        }
    bitmap.unlockBits(&data);
    return picture;
}

// The screen rectangle of whatever was drawn over the black background.
struct Box {
    int left = 0, top = 0, right = -1, bottom = -1; // inclusive
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

inline Box drawnBox(const Picture& frame)
{
    Box box{frame.width, frame.height, -1, -1};
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            const Rgb c = frame.at(x, y);
            if (c.r + c.g + c.b > 30) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
        }
    return box;
}

// The box of the frame scaled to the size of a painted image (nearest pixel).
inline Picture resample(const Picture& frame, const Box& box, int width, int height)
{
    Picture picture{width, height, {}};
    for (int v = 0; v < height; ++v)
        for (int u = 0; u < width; ++u) {
            const int x = box.left + (2 * u + 1) * box.width() / (2 * width);
            const int y = box.top + (2 * v + 1) * box.height() / (2 * height);
            picture.pixels.push_back(frame.at(x, y));
        }
    return picture;
}

enum class Orientation { Upright, MirroredLeftRight, MirroredUpDown, Turned };

inline const char* name(Orientation orientation)
{
    switch (orientation) {
    case Orientation::Upright:
        return "upright";
    case Orientation::MirroredLeftRight:
        return "mirrored left-right";
    case Orientation::MirroredUpDown:
        return "mirrored up-down";
    case Orientation::Turned:
        return "turned by 180 degrees";
    }
    return "?";
}

inline std::ostream& operator<<(std::ostream& out, Orientation orientation)
{
    return out << name(orientation);
}

// How the painted image appears in what is seen: the way of laying the image
// over the view whose ink agrees best. inkThreshold is the distance from white
// beyond which a pixel counts as ink.
inline Orientation orientationOf(const Picture& painted, const Picture& seen, int inkThreshold)
{
    const auto ink = [inkThreshold](Rgb c) { return c.distanceFromWhite() > inkThreshold; };
    Orientation best = Orientation::Upright;
    int bestScore = -1;
    for (Orientation o :
         {Orientation::Upright, Orientation::MirroredLeftRight, Orientation::MirroredUpDown, Orientation::Turned}) {
        const bool flipX = o == Orientation::MirroredLeftRight || o == Orientation::Turned;
        const bool flipY = o == Orientation::MirroredUpDown || o == Orientation::Turned;
        int score = 0;
        for (int v = 0; v < seen.height; ++v)
            for (int u = 0; u < seen.width; ++u) {
                const int pu = flipX ? painted.width - 1 - u : u;
                const int pv = flipY ? painted.height - 1 - v : v;
                score += ink(seen.at(u, v)) == ink(painted.at(pu, pv));
            }
        if (score > bestScore) {
            bestScore = score;
            best = o;
        }
    }
    return best;
}

} // namespace sceneview
