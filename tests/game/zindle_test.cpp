// The typing scene on a real GL context: which key throws which cube, where
// the cubes stand, the fallback for keys without a cube, the card's ten
// seconds and the splash picture.
#include "game/Zindle.h"
#include "tests/support/fixtures/HeadlessGLContext.h"
#include "tests/support/fixtures/ScriptedPlatform.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <unistd.h>

using testing_support::ScriptedPlatform;

namespace {

constexpr int viewSize = 256;

class SceneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gl = new platform::HeadlessGLContext(viewSize, viewSize); }
    static void TearDownTestSuite()
    {
        delete gl;
        gl = nullptr;
    }

    void SetUp() override
    {
        if (!gl->ok())
            GTEST_SKIP() << "no GL context: " << gl->error();
        // The frame's global state, as it stands when the scene is built.
        setGlobalGLState();
        glViewport(0, 0, viewSize, viewSize);
        scene = std::make_unique<Zindle>(platform);
        scene->createScene();
    }

    void TearDown() override
    {
        if (scene)
            scene->destroyScene();
    }

    // Quietly, since every key-down traces a line.
    void press(int key)
    {
        ::testing::internal::CaptureStderr();
        scene->keyDown(key);
        ::testing::internal::GetCapturedStderr();
    }

    void settleAll()
    {
        for (auto& motion : scene->motions) {
            motion.bouncing = false;
            motion.depth = 50.0;
        }
    }

    std::vector<int> launched() const
    {
        std::vector<int> indices;
        for (int i = 0; i < Zindle::blockCount; ++i)
            if (scene->motions[i].bouncing)
                indices.push_back(i);
        return indices;
    }

    static platform::HeadlessGLContext* gl;
    ScriptedPlatform platform;
    std::unique_ptr<Zindle> scene;
};

platform::HeadlessGLContext* SceneTest::gl = nullptr;

TEST_F(SceneTest, FortyCubesInFiveRowsOfEightWithTheirKeys)
{
    const char* characters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,?!";
    const std::array<int, 4> punctuationKeys = {0xBE, 0xBC, 0x3F, 0x21};
    for (int i = 0; i < Zindle::blockCount; ++i) {
        const Cubbit& block = *scene->blocks[i];
        int expectedKey = i < 36 ? characters[i] : punctuationKeys[i - 36];
        EXPECT_EQ(block.keyCode, expectedKey) << i;
        EXPECT_EQ(std::u16string(Zindle::characters[i]), std::u16string(1, char16_t(characters[i]))) << i;
        const int column = i % 8, row = i / 8;
        EXPECT_EQ(block.position.x, 8.0f - 2.0f * float(column)) << i;
        EXPECT_EQ(block.position.y, 5.0f - 2.0f * float(row)) << i;
        EXPECT_EQ(block.position.z, 50.0f) << i;
        EXPECT_EQ(block.position.w, 1.0f) << i;
    }
    EXPECT_EQ(scene->exitNote->position.x, -1.4f);
    EXPECT_EQ(scene->exitNote->position.y, -1.4f);
    EXPECT_EQ(scene->exitNote->position.z, 1.0f);
}

TEST_F(SceneTest, TheLightShinesFromTheViewer)
{
    const DirectionalLight& light = *scene->light;
    EXPECT_EQ(light.lightId, 0x4000u);
    EXPECT_TRUE(light.enabled);
    EXPECT_EQ(light.direction.z, -1.0f);
    EXPECT_EQ(light.specular.x, 0.4f);
    EXPECT_EQ(light.specular.w, 1.0f);
    EXPECT_EQ(light.ambient.x, 0.3f);
}

TEST_F(SceneTest, TheGridReadsFromTopLeftToBottomRightOnScreen)
{
    scene->drawFrame(0.0, 0.0);
    GLdouble model[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    auto onScreen = [&](int i) {
        const Vector4& p = scene->blocks[i]->position;
        std::array<double, 3> window{};
        gluProject(p.x, p.y, p.z, model, projection, viewport, &window[0], &window[1], &window[2]);
        return window;
    };
    for (int i = 0; i + 1 < Zindle::blockCount; ++i) {
        auto here = onScreen(i), next = onScreen(i + 1);
        if ((i + 1) % 8 != 0)
            EXPECT_LT(here[0], next[0]) << "left to right within a row, at " << i;
        else
            EXPECT_GT(here[1], next[1]) << "each row below the last, at " << i;
    }
    auto a = onScreen(0), bang = onScreen(39);
    EXPECT_LT(a[0], viewSize / 2.0);
    EXPECT_GT(a[1], viewSize / 2.0) << "A is top left";
    EXPECT_GT(bang[0], viewSize / 2.0);
    EXPECT_LT(bang[1], viewSize / 2.0) << "! is bottom right";
}

TEST_F(SceneTest, TheSpaceBarThrowsEveryCubeAndNeverTheFallback)
{
    std::srand(99);
    int nextDraw = std::rand();
    std::srand(99);
    press(0x20);
    EXPECT_EQ(launched().size(), 40u);
    for (const Ballistic& motion : scene->motions) {
        EXPECT_EQ(motion.speed, 7.0);
        EXPECT_EQ(motion.depth, 50.0);
        EXPECT_EQ(motion.elapsed, 0.0);
    }
    EXPECT_EQ(std::rand(), nextDraw) << "the space bar draws no random number";
}

TEST_F(SceneTest, AKeyThrowsItsCubeOnly)
{
    press(0x47);
    EXPECT_EQ(launched(), std::vector<int>{6});
    settleAll();
    press(0x21); // Page Up
    EXPECT_EQ(launched(), std::vector<int>{39}) << "Page Up throws the ! cube";
    settleAll();
    press(0xBE);
    EXPECT_EQ(launched(), std::vector<int>{36});
    settleAll();
    press(0x30);
    EXPECT_EQ(launched(), std::vector<int>{26});
}

TEST_F(SceneTest, AThrownCubeThrownAgainStartsAfreshKeepingItsSpin)
{
    press(0x47);
    for (int frame = 0; frame < 20; ++frame)
        scene->drawFrame(0.0, 1.0 / 60.0);
    Ballistic& motion = scene->motions[6];
    ASSERT_LT(motion.depth, 45.0);
    Vector4 spin = motion.spin;
    Vector4 rotation = motion.rotation;
    press(0x47); // an auto-repeat is just another key-down
    EXPECT_TRUE(motion.bouncing);
    EXPECT_EQ(motion.depth, 50.0);
    EXPECT_EQ(motion.elapsed, 0.0);
    EXPECT_EQ(motion.speed, 7.0);
    EXPECT_EQ(motion.spin.x, spin.x);
    EXPECT_EQ(motion.spin.y, spin.y);
    EXPECT_EQ(motion.rotation.z, rotation.z);
    scene->drawFrame(0.0, 1.0 / 60.0);
    EXPECT_EQ(scene->blocks[6]->position.z, 50.0f) << "the drawing starts the new flight where the motion did";
    const double firstStep = motion.depth;
    EXPECT_LT(firstStep, 50.0);
    scene->drawFrame(0.0, 1.0 / 60.0);
    EXPECT_EQ(scene->blocks[6]->position.z, static_cast<float>(firstStep)) << "the depth reaches the cube";
}

TEST_F(SceneTest, KeysWithoutACubeThrowTheCommaOrTheQuestionMark)
{
    // Shift, Ctrl, arrows, F1, the keypad digits, the key that types "?",
    // a letter code with bits above it, negative codes.
    std::vector<int> keys = {0x10, 0x11, 0x25, 0x70, 0xBF, 0x141, -1, 0x5B};
    for (int code = 0x60; code <= 0x69; ++code)
        keys.push_back(code);
    for (std::size_t k = 0; k < keys.size(); ++k) {
        settleAll();
        unsigned seed = static_cast<unsigned>(k * 7919 + 1);
        std::srand(seed);
        int expected = 37 + std::rand() % 2;
        std::srand(seed);
        press(keys[k]);
        EXPECT_EQ(launched(), std::vector<int>{expected}) << "key " << keys[k];
    }
}

TEST_F(SceneTest, BothFallbackCubesComeUp)
{
    bool comma = false, question = false;
    std::srand(1);
    for (int i = 0; i < 64 && !(comma && question); ++i) {
        settleAll();
        press(0x10);
        comma = comma || scene->motions[37].bouncing;
        question = question || scene->motions[38].bouncing;
        EXPECT_FALSE(scene->motions[39].bouncing);
    }
    EXPECT_TRUE(comma);
    EXPECT_TRUE(question);
}

TEST_F(SceneTest, EveryKeyDownIsTracedFirst)
{
    ::testing::internal::CaptureStderr();
    scene->keyDown(0x47);
    scene->keyDown(0x20);
    scene->keyDown(0x0D);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "key pressed 71, G\nkey pressed 32,  \nkey pressed 13, ?\n");
}

// The card covers this spot; behind it there is only the black background.
double brightnessUnderTheCard()
{
    std::array<unsigned char, 4> pixel{};
    glReadPixels(viewSize * 205 / 256, viewSize * 37 / 256, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    return (pixel[0] + pixel[1] + pixel[2]) / 3.0;
}

TEST_F(SceneTest, TheCardShowsForTheFirstTenSecondsOnly)
{
    scene->drawFrame(0.0, 0.0);
    EXPECT_GT(brightnessUnderTheCard(), 200.0);
    scene->drawFrame(9.999, 0.0);
    EXPECT_GT(brightnessUnderTheCard(), 200.0);
    scene->drawFrame(10.0, 0.0);
    EXPECT_LT(brightnessUnderTheCard(), 20.0);
    scene->drawFrame(3600.0, 0.0);
    EXPECT_LT(brightnessUnderTheCard(), 20.0);
    scene->drawFrame(std::numeric_limits<double>::quiet_NaN(), 0.0);
    EXPECT_LT(brightnessUnderTheCard(), 20.0);
}

TEST_F(SceneTest, MotionsMoveOnlyWithFrameTime)
{
    press(0x41);
    scene->drawFrame(0.0, 0.0);
    EXPECT_EQ(scene->motions[0].depth, 50.0) << "no time, no motion";
    scene->drawFrame(0.0, 1.0 / 60.0);
    double t = 1.0 / 60.0;
    EXPECT_DOUBLE_EQ(scene->motions[0].depth, 50.0 - (t * 7.0 - t * (t * 7.8)));
    scene->drawFrame(0.0, 5000.0); // after a long pause, at most a second of steps
    EXPECT_TRUE(scene->motions[0].bouncing) << "the first flight lasts longer than a second";
    EXPECT_LE(scene->motions[0].elapsed, t + 1.0 + 1e-9);
}

TEST_F(SceneTest, TearingDownReleasesEveryCube)
{
    EXPECT_EQ(Cubbit::instanceCount, 40);
    scene->destroyScene();
    EXPECT_EQ(Cubbit::instanceCount, 0);
    EXPECT_EQ(Cubbit::sharedFont, nullptr);
    EXPECT_EQ(scene->exitNote, nullptr);
    EXPECT_EQ(scene->light, nullptr);
    scene.reset();
}

// The splash picture is read from the working directory when the toy is made.
TEST(Splash, IsDrawnStretchedOverTheClientAreaWhenThePictureIsThere)
{
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("zindle-splash-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    fs::path source = fs::path(ZINDLE_SOURCE_DIR_FOR_TESTS) / "res" / "wumbly.jpg";
    fs::copy_file(source, folder / "wumbly.jpg", fs::copy_options::overwrite_existing);
    fs::path previous = fs::current_path();
    fs::current_path(folder);

    ScriptedPlatform platform;
    platform.lastRequest.client = {64, 64, 1088, 832};
    {
        Zindle toy(platform);
        ASSERT_NE(toy.splashImage, nullptr);
        EXPECT_EQ(toy.splashImage->getWidth(), 1024u);
        toy.showSplash(ScriptedPlatform::windowHandle);
    }
    EXPECT_TRUE(platform.called("drawPicture 0,0 1024x768"));

    fs::current_path(previous);
    fs::remove_all(folder);
}

TEST(Splash, AMissingPictureStartsQuietly)
{
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("zindle-nosplash-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    fs::path previous = fs::current_path();
    fs::current_path(folder);

    ScriptedPlatform platform;
    {
        Zindle toy(platform);
        ASSERT_NE(toy.splashImage, nullptr);
        EXPECT_EQ(toy.splashImage->getWidth(), 0u);
        toy.showSplash(ScriptedPlatform::windowHandle);
    }
    EXPECT_TRUE(platform.boxes.empty());

    fs::current_path(previous);
    fs::remove_all(folder);
}

} // namespace
