// The scene draws each cube between the fixed steps of its motion: on a real GL
// context, at 60, 75, 144 and 240 frames a second, a thrown cube is drawn at a
// new depth and new angles on every frame, on the curve its 1/60 s steps
// trace, while the motion itself takes exactly the steps it always took; and
// the places where the motion jumps (a bounce, a launch in mid-flight, the
// re-spin, an angle wrapping past 360) are drawn as jumps, never blended.
#include "game/Zindle.h"
#include "tests/support/fixtures/HeadlessGLContext.h"
#include "tests/support/fixtures/ScriptedPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <vector>

using testing_support::ScriptedPlatform;

namespace {

constexpr int cube = 6; // "G"
constexpr int key = 0x47;
constexpr double step = FixedStep::step;

class InBetweenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        gl = new platform::HeadlessGLContext(64, 64);
        if (!gl->ok())
            return;
        setGlobalGLState();
        platform = new ScriptedPlatform;
        scene = new Zindle(*platform);
        scene->createScene();
    }
    static void TearDownTestSuite()
    {
        if (scene)
            scene->destroyScene();
        delete scene;
        delete platform;
        delete gl;
        scene = nullptr;
        platform = nullptr;
        gl = nullptr;
    }

    // The cube at rest with a known spin, on a fresh clock, drawn once.
    void SetUp() override
    {
        if (!gl->ok())
            GTEST_SKIP() << "no GL context: " << gl->error();
        scene->motionSteps = FixedStep{};
        Ballistic& motion = scene->motions[cube];
        motion.bouncing = false;
        motion.elapsed = 0.0;
        motion.speed = 0.0;
        motion.depth = 50.0;
        motion.idleTime = 0.0;
        motion.spin = {0.3f, 0.4f, 0.5f, 0.0f};
        motion.rotation = {10.0f, 20.0f, 30.0f, 0.0f};
        scene->drawFrame(0.0, step);
        scene->drawFrame(0.0, step);
    }

    void press()
    {
        ::testing::internal::CaptureStderr();
        scene->keyDown(key);
        ::testing::internal::GetCapturedStderr();
    }

    const Actor& drawn() const { return *scene->blocks[cube]; }

    static platform::HeadlessGLContext* gl;
    static ScriptedPlatform* platform;
    static Zindle* scene;
};

platform::HeadlessGLContext* InBetweenTest::gl = nullptr;
ScriptedPlatform* InBetweenTest::platform = nullptr;
Zindle* InBetweenTest::scene = nullptr;

// The same motion stepped alone, on a clock of its own fed the same frame
// times: the depths its steps pass through, and its state after every step.
struct Reference {
    Ballistic motion;
    FixedStep clock;
    // The depth before and after the last step; a launch counts as before.
    double from = 50.0;
    double to = 50.0;
    int steps = 0;
    int bounces = 0;

    explicit Reference(const Ballistic& start) : motion(start) {}

    void launch()
    {
        motion.bouncing = true;
        motion.elapsed = 0.0;
        motion.speed = 7.0;
        motion.depth = 50.0;
    }

    void frame(double seconds)
    {
        for (int n = clock.advance(seconds); n > 0; --n) {
            from = motion.depth;
            const bool flying = motion.bouncing;
            motion.update(step);
            to = motion.depth;
            ++steps;
            bounces += flying && motion.elapsed == 0.0;
        }
    }
};

// The shortest turn from one angle to the next, in degrees.
double turnBetween(float from, float to)
{
    double turn = std::fmod(static_cast<double>(to) - static_cast<double>(from) + 540.0, 360.0) - 180.0;
    return turn;
}

struct Rate {
    const char* name;
    double shortFrame;
    double longFrame; // frames alternate between the two
};

void PrintTo(const Rate& rate, std::ostream* out)
{
    *out << rate.name;
}

class ThrowAtRate : public InBetweenTest, public ::testing::WithParamInterface<Rate> {};

TEST_P(ThrowAtRate, MovesOnEveryFrameOnTheCurveOfItsSteps)
{
    const Rate rate = GetParam();
    Reference reference(scene->motions[cube]);
    reference.clock = scene->motionSteps;
    press();
    reference.launch();

    float lastDepth = drawn().position.z;
    Vector4 lastRotation = drawn().rotation;
    bool leftRest = false;
    int framesInFlight = 0;
    float deepest = 50.0f;
    for (int frame = 0; reference.motion.bouncing; ++frame) {
        ASSERT_LT(frame, 5000) << "the throw never ended";
        const double seconds = frame % 2 ? rate.longFrame : rate.shortFrame;
        scene->drawFrame(0.0, seconds);
        reference.frame(seconds);

        const Ballistic& motion = scene->motions[cube];
        ASSERT_EQ(motion.depth, reference.motion.depth) << "the motion takes its steps as ever, frame " << frame;
        ASSERT_EQ(motion.elapsed, reference.motion.elapsed) << frame;
        ASSERT_EQ(motion.speed, reference.motion.speed) << frame;
        ASSERT_EQ(motion.rotation.x, reference.motion.rotation.x) << frame;

        const float depth = drawn().position.z;
        const Vector4 rotation = drawn().rotation;
        const float low = static_cast<float>(std::min(reference.from, reference.to));
        const float high = static_cast<float>(std::max(reference.from, reference.to));
        ASSERT_TRUE(depth >= low && depth <= high)
            << "frame " << frame << " drawn at " << depth << ", off the step from " << reference.from << " to "
            << reference.to;
        ASSERT_LE(depth, 50.0f) << "never behind the rest depth";

        // The flight as drawn starts when the cube first leaves its rest depth.
        if (leftRest) {
            ++framesInFlight;
            ASSERT_NE(depth, lastDepth) << "frame " << frame << " repeats the depth drawn before";
        }
        leftRest = leftRest || depth < 50.0f;
        ASSERT_NE(rotation.x, lastRotation.x) << frame;
        ASSERT_NE(rotation.y, lastRotation.y) << frame;
        ASSERT_NE(rotation.z, lastRotation.z) << frame;
        lastDepth = depth;
        lastRotation = rotation;
        deepest = std::min(deepest, depth);
    }
    EXPECT_EQ(reference.steps, 377) << "the throw lasts as many steps at any rate";
    EXPECT_EQ(reference.bounces, 12);
    EXPECT_NEAR(deepest, -6.3655f, 0.1f) << "as near the camera as at 60 steps a second";
    EXPECT_GT(framesInFlight, 300);
}

INSTANTIATE_TEST_SUITE_P(Rates, ThrowAtRate,
                         ::testing::Values(Rate{"60Hz", 1.0 / 60.0, 1.0 / 60.0}, Rate{"75Hz", 1.0 / 75.0, 1.0 / 75.0},
                                           Rate{"144Hz", 1.0 / 144.0, 1.0 / 144.0},
                                           Rate{"240Hz", 1.0 / 240.0, 1.0 / 240.0},
                                           // A 60 Hz display whose frames come a little early and late in
                                           // turn: some frames fall due before their step, some after two.
                                           Rate{"60HzUneven", 0.0160, 0.0173}),
                         [](const ::testing::TestParamInfo<Rate>& rate) { return rate.param.name; });

TEST_F(InBetweenTest, ABounceIsDrawnAsTheTurnAtTheRestDepth)
{
    Reference reference(scene->motions[cube]);
    reference.clock = scene->motionSteps;
    press();
    reference.launch();
    // At 144 Hz, through the first bounce and into the second flight.
    std::vector<float> depths;
    std::vector<int> bounceFrames;
    while (reference.bounces < 2) {
        scene->drawFrame(0.0, 1.0 / 144.0);
        const int before = reference.bounces;
        reference.frame(1.0 / 144.0);
        if (reference.bounces > before)
            bounceFrames.push_back(static_cast<int>(depths.size()));
        depths.push_back(drawn().position.z);
    }
    // Before the first bounce the cube is drawn falling back, after it rising
    // toward the viewer again: the turn comes at the rest depth itself.
    const int bounce = bounceFrames.front();
    for (int f = bounce - 6; f < bounce; ++f)
        EXPECT_GT(depths[f + 1], depths[f]) << "falling back, frame " << f;
    const auto turn = std::max_element(depths.begin() + bounce - 6, depths.begin() + bounce + 6);
    EXPECT_GT(*turn, 49.9f) << "the bounce reaches the rest depth";
    for (auto f = turn; f + 1 < depths.begin() + bounce + 6; ++f)
        EXPECT_LT(*(f + 1), *f) << "rising again after the bounce";
}

TEST_F(InBetweenTest, ALaunchInMidFlightIsDrawnAsAJump)
{
    press();
    for (int frame = 0; frame < 120; ++frame)
        scene->drawFrame(0.0, 1.0 / 144.0);
    const float before = drawn().position.z;
    ASSERT_LT(before, 5.0f) << "near the deepest point";

    press();
    std::vector<float> depths;
    for (int frame = 0; frame < 12; ++frame) {
        scene->drawFrame(0.0, 1.0 / 144.0);
        depths.push_back(drawn().position.z);
    }
    // Each frame shows either the old flight or the new one from the rest
    // depth (12 frames are 5 steps: the new flight is still above 48), never
    // a place in between.
    int jumps = 0;
    float last = before;
    for (float depth : depths) {
        EXPECT_TRUE(depth < before + 1.0f || depth > 48.0f) << "drawn at " << depth << ", between the flights";
        jumps += last < 10.0f && depth > 49.5f;
        last = depth;
    }
    EXPECT_EQ(jumps, 1);
    EXPECT_LT(depths.back(), 50.0f) << "and the new flight is under way";
}

TEST_F(InBetweenTest, TheRespinIsDrawnAsAJumpToTheUnturnedPose)
{
    Ballistic& motion = scene->motions[cube];
    motion.rotation = {200.0f, 100.0f, 300.0f, 0.0f};
    motion.spin = {0.5f, 0.5f, 0.5f, 0.0f};
    motion.idleTime = 5.0 - 3.5 * step;
    scene->drawFrame(0.0, step); // the step from the new pose
    scene->drawFrame(0.0, 0.0);

    // A frame at 144 Hz turns an axis by at most this much at 0.9 turns a
    // second, the fastest spin there is.
    const double mostPerFrame = 0.9 * 360.0 / 144.0 + 1e-3;
    int jumps = 0;
    Vector4 last = drawn().rotation;
    for (int frame = 0; frame < 30; ++frame) {
        scene->drawFrame(0.0, 1.0 / 144.0);
        const Vector4 now = drawn().rotation;
        const float turns[3] = {static_cast<float>(turnBetween(last.x, now.x)),
                                static_cast<float>(turnBetween(last.y, now.y)),
                                static_cast<float>(turnBetween(last.z, now.z))};
        const bool smooth = std::all_of(std::begin(turns), std::end(turns),
                                        [&](float turn) { return turn >= 0.0f && turn <= mostPerFrame; });
        if (!smooth) {
            ++jumps;
            // Straight to the unturned pose, or within one frame of turning from it.
            EXPECT_LE(now.x, mostPerFrame) << frame;
            EXPECT_LE(now.y, mostPerFrame) << frame;
            EXPECT_LE(now.z, mostPerFrame) << frame;
            EXPECT_GT(last.x, 200.0f) << "straight from the old pose, frame " << frame;
        }
        last = now;
    }
    EXPECT_EQ(jumps, 1);
    EXPECT_EQ(motion.bouncing, false);
}

TEST_F(InBetweenTest, AnAngleWrappingPast360TurnsOnWithoutSweepingBack)
{
    Ballistic& motion = scene->motions[cube];
    motion.rotation = {352.0f, 3.0f, 180.0f, 0.0f};
    motion.spin = {0.9f, 0.0f, 0.1f, 0.0f};
    scene->drawFrame(0.0, step);
    scene->drawFrame(0.0, 0.0);

    bool wrapped = false;
    float last = drawn().rotation.x;
    for (int frame = 0; frame < 40; ++frame) {
        scene->drawFrame(0.0, 1.0 / 75.0);
        const float now = drawn().rotation.x;
        EXPECT_GE(now, 0.0f);
        EXPECT_LT(now, 360.0f);
        const double turn = turnBetween(last, now);
        EXPECT_GT(turn, 0.0) << "frame " << frame << " from " << last << " to " << now;
        EXPECT_LE(turn, 0.9 * 360.0 / 75.0 + 1e-3) << "frame " << frame << " from " << last << " to " << now;
        wrapped = wrapped || now < last;
        EXPECT_EQ(drawn().rotation.y, 3.0f) << "an axis that does not spin stays";
        last = now;
    }
    EXPECT_TRUE(wrapped);
}

} // namespace
