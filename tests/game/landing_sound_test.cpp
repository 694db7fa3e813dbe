// The scene hands every landing to the sound board at the moment of the
// motion it happened in: the same twelve moments and speeds for a throw at
// 60, 75, 144 and 240 frames a second, at an uneven rate and across a stall
// that runs many steps in one frame; and only a key's
// own cube says its name.
#include "game/Zindle.h"
#include "tests/support/fixtures/HeadlessGLContext.h"
#include "tests/support/fixtures/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

using testing_support::ScriptedPlatform;

namespace {

struct Heard {
    int cube;
    double moment; // on the frames' clock: the frame's time less secondsAgo
    double speed;
};

// Records what the scene hands over instead of playing it.
class RecordingBoard : public sound::SoundBoard {
public:
    void landing(int cube, double secondsAgo, double speed) override
    {
        landings.push_back({cube, frameTime - secondsAgo, speed});
    }
    void say(int cube) override { said.push_back(cube); }

    double frameTime = 0.0;
    std::vector<Heard> landings;
    std::vector<int> said;
};

class LandingSoundTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gl = new platform::HeadlessGLContext(64, 64); }
    static void TearDownTestSuite()
    {
        delete gl;
        gl = nullptr;
    }

    void SetUp() override
    {
        if (!gl->ok())
            GTEST_SKIP() << "no GL context: " << gl->error();
        setGlobalGLState();
        freshScene();
    }
    void TearDown() override
    {
        if (scene)
            scene->destroyScene();
    }

    void freshScene()
    {
        if (scene)
            scene->destroyScene();
        board = std::make_unique<RecordingBoard>();
        scene = std::make_unique<Zindle>(platform);
        scene->createScene();
        scene->sound = board.get();
    }

    void press(int key)
    {
        ::testing::internal::CaptureStderr();
        scene->keyDown(key);
        ::testing::internal::GetCapturedStderr();
    }

    // Throws "G" at time 0 in a fresh scene and plays frames of the lengths
    // `frame` gives (from the time so far) for eight seconds.
    std::vector<Heard> throwAndPlay(const std::function<double(double)>& frame)
    {
        freshScene();
        press(0x47);
        double total = 0.0;
        while (total < 8.0) {
            const double seconds = frame(total);
            total += seconds;
            board->frameTime = total;
            scene->drawFrame(total, seconds);
        }
        return board->landings;
    }

    // The throw at 60 frames a second, in step with the motion.
    std::vector<Heard> reference()
    {
        return throwAndPlay([](double) { return 1.0 / 60.0; });
    }

    static platform::HeadlessGLContext* gl;
    ScriptedPlatform platform;
    std::unique_ptr<RecordingBoard> board;
    std::unique_ptr<Zindle> scene;
};

platform::HeadlessGLContext* LandingSoundTest::gl = nullptr;

void compare(const std::vector<Heard>& heard, const std::vector<Heard>& expected)
{
    ASSERT_EQ(expected.size(), 12u);
    ASSERT_EQ(heard.size(), 12u);
    for (std::size_t k = 0; k < heard.size(); ++k) {
        EXPECT_EQ(heard[k].cube, 6);
        EXPECT_EQ(heard[k].speed, expected[k].speed) << "bounce " << k;
        EXPECT_NEAR(heard[k].moment, expected[k].moment, 1e-6) << "bounce " << k;
    }
}

} // namespace

TEST_F(LandingSoundTest, TwelveLandingsAtTheMotionsMoments)
{
    const std::vector<Heard> heard = reference();
    ASSERT_EQ(heard.size(), 12u);
    EXPECT_NEAR(heard.front().moment, 1.35, 0.03);
    EXPECT_NEAR(heard.back().moment, 6.3, 0.1);
    EXPECT_EQ(heard.front().speed, 7.0);
    EXPECT_NEAR(heard.back().speed, 0.6, 0.01);
    // The moments fall between the steps, not on the frames.
    int between = 0;
    for (const Heard& landing : heard) {
        const double steps = landing.moment * 60.0;
        if (std::fabs(steps - std::round(steps)) > 0.01)
            ++between;
    }
    EXPECT_GE(between, 9);
}

TEST_F(LandingSoundTest, TheSameAtAnyRefreshRate)
{
    const std::vector<Heard> expected = reference();
    for (double rate : {75.0, 144.0, 240.0, 59.94, 30.0}) {
        SCOPED_TRACE(rate);
        compare(throwAndPlay([rate](double) { return 1.0 / rate; }), expected);
    }
}

TEST_F(LandingSoundTest, TheSameAtAnUnevenRateAndAcrossAStall)
{
    const std::vector<Heard> expected = reference();
    // Frames of 7 to 41 ms in no order...
    const double lengths[] = {0.011, 0.029, 0.007, 0.041, 0.016, 0.023, 0.013};
    int number = 0;
    compare(throwAndPlay([&](double) { return lengths[number++ % 7]; }), expected);
    // ...and a stall of 150 ms (nine steps at once) across the third and
    // across the last landing.
    for (std::size_t landing : {2u, 11u}) {
        bool stalled = false;
        compare(throwAndPlay([&](double total) {
                    if (!stalled && total > expected[landing].moment - 0.1) {
                        stalled = true;
                        return 0.150;
                    }
                    return 1.0 / 144.0;
                }),
                expected);
    }
}

TEST_F(LandingSoundTest, OnlyAKeysOwnCubeSaysItsName)
{
    press(0x47); // "G"
    press(0x31); // "1"
    press(0x20); // space: all forty, no name
    press(0x70); // a key without a cube: a fallback throw, no name
    EXPECT_EQ(board->said, (std::vector<int>{6, 27}));

    // Silent without a board.
    scene->sound = nullptr;
    press(0x47);
    scene->drawFrame(0.0, 2.0);
    EXPECT_EQ(board->said.size(), 2u);
    EXPECT_TRUE(board->landings.empty());
}
