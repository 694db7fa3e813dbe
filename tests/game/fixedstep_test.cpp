// The scene advances its motions in whole 1/60 s steps: a throw must fly the
// same at any frame rate, and a long pause must not cost a long frame.
#include "game/FixedStep.h"
#include "motion/Ballistic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct Throw {
    double deepest = 1e9;
    int framesToRest = -1;
};

// Throws one block at `fps` frames per second, stepping it the way the scene does.
Throw throwAt(double fps)
{
    Ballistic motion;
    motion.bouncing = true;
    motion.elapsed = 0.0;
    motion.speed = 7.0;
    motion.depth = 50.0;
    FixedStep clock;
    Throw result;
    for (int frame = 1; frame < 100000; ++frame) {
        int steps = clock.advance(1.0 / fps);
        for (int i = 0; i < steps; ++i) {
            motion.update(FixedStep::step);
            result.deepest = std::min(result.deepest, motion.depth);
        }
        if (!motion.bouncing) {
            result.framesToRest = frame;
            break;
        }
    }
    return result;
}

TEST(FixedStep, SixtyFramesASecondIsOneStepPerFrame)
{
    FixedStep clock;
    for (int frame = 0; frame < 1000; ++frame)
        ASSERT_EQ(clock.advance(1.0 / 60.0), 1) << frame;
}

TEST(FixedStep, AThrowFliesTheSameAtAnyFrameRate)
{
    Throw at60 = throwAt(60.0);
    Throw at144 = throwAt(144.0);
    Throw at30 = throwAt(30.0);
    Throw at500 = throwAt(500.0);

    EXPECT_NEAR(at60.deepest, -6.3655, 1e-3) << "just in front of the camera at -10";
    EXPECT_EQ(at144.deepest, at60.deepest);
    EXPECT_EQ(at500.deepest, at60.deepest);
    EXPECT_EQ(at30.deepest, at60.deepest) << "every step is taken, even two in one frame";
    EXPECT_EQ(at60.framesToRest, 377);
    EXPECT_NEAR(at144.framesToRest / 144.0, 377 / 60.0, 0.02);
    EXPECT_NEAR(at30.framesToRest / 30.0, 377 / 60.0, 0.04);
}

TEST(FixedStep, TimeBelowAStepWaitsForTheNextFrame)
{
    FixedStep clock;
    EXPECT_EQ(clock.advance(0.01), 0);
    EXPECT_EQ(clock.advance(0.01), 1);
    EXPECT_NEAR(clock.pending, 0.02 - 1.0 / 60.0, 1e-15);
}

TEST(FixedStep, ALongPauseCatchesUpAtMostOneSecond)
{
    FixedStep clock;
    int steps = clock.advance(3600.0);
    EXPECT_GE(steps, 59);
    EXPECT_LE(steps, 60);
    EXPECT_LE(clock.advance(1.0 / 60.0), 2) << "and the frames after it are normal again";
}

TEST(FixedStep, BadFrameTimesMoveNothing)
{
    FixedStep clock;
    EXPECT_EQ(clock.advance(-5.0), 0);
    EXPECT_EQ(clock.advance(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(clock.advance(0.0), 0);
    EXPECT_EQ(clock.pending, 0.0);
    int steps = clock.advance(std::numeric_limits<double>::infinity());
    EXPECT_GE(steps, 59);
    EXPECT_LE(steps, 60);
}

} // namespace
