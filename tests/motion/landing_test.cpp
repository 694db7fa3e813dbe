// The motion says when a step ended in a bounce: on exactly the updates whose
// flight came back through the rest depth, where within the update it crossed
// and at what speed it came down, with the flight itself unchanged.
#include "motion/Ballistic.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

struct Touch {
    int update = 0;
    double fraction = 0.0;
    double speed = 0.0;
};

std::vector<Touch> touchesAt(double dt, std::vector<double>* cutSpeeds = nullptr)
{
    std::srand(3);
    Ballistic motion;
    motion.bouncing = true;
    motion.elapsed = 0.0;
    motion.speed = 7.0;
    motion.depth = 50.0;
    std::vector<Touch> touches;
    for (int update = 1; update < 100000 && motion.bouncing; ++update) {
        const double speedBefore = motion.speed;
        const bool wasBouncing = motion.bouncing;
        motion.update(dt);
        // A landing is exactly what cuts the speed (or ends the flights).
        EXPECT_EQ(motion.landed, wasBouncing && (motion.speed != speedBefore || !motion.bouncing)) << update;
        if (!motion.landed)
            continue;
        EXPECT_EQ(motion.landingSpeed, speedBefore) << update;
        EXPECT_GT(motion.landingFraction, 0.0) << update;
        EXPECT_LE(motion.landingFraction, 1.0) << update;
        EXPECT_EQ(motion.depth, 50.0);
        touches.push_back({update, motion.landingFraction, motion.landingSpeed});
        if (cutSpeeds != nullptr)
            cutSpeeds->push_back(motion.speed);
    }
    // At rest: no more landings, however long it waits.
    for (int update = 0; update < 600; ++update) {
        motion.update(dt);
        EXPECT_FALSE(motion.landed);
    }
    return touches;
}

} // namespace

TEST(BallisticLanding, TwelveBouncesFromAThrowAtSeven)
{
    const double step = 1.0 / 60.0;
    const std::vector<Touch> touches = touchesAt(step);
    ASSERT_EQ(touches.size(), 12u);
    // Each lands at the speed its flight had, falling by the bounce's keep in
    // single precision; the last, at about 0.6, comes to rest.
    double speed = 7.0;
    for (const Touch& touch : touches) {
        EXPECT_EQ(touch.speed, speed);
        speed = static_cast<float>(speed * Ballistic::bounceKeep);
    }
    EXPECT_NEAR(touches.back().speed, 0.6, 0.01);
    // The moments, on the motion's clock: the first about 1.35 s after the
    // launch, the last about 6.3 s; each flight shorter than the one before.
    auto moment = [&](const Touch& touch) { return (touch.update - 1 + touch.fraction) * step; };
    EXPECT_NEAR(moment(touches.front()), 1.35, 0.03);
    EXPECT_NEAR(moment(touches.back()), 6.3, 0.1);
    for (std::size_t k = 2; k < touches.size(); ++k)
        EXPECT_LT(moment(touches[k]) - moment(touches[k - 1]), moment(touches[k - 1]) - moment(touches[k - 2])) << k;
}

TEST(BallisticLanding, TheCrossingLiesWhereTheDepthPassesTheRestDepth)
{
    // Replays the first flight at 1/60 s and finds the crossing by the depths
    // on either side of the landing update.
    std::srand(3);
    Ballistic motion;
    motion.bouncing = true;
    motion.elapsed = 0.0;
    motion.speed = 7.0;
    motion.depth = 50.0;
    while (true) {
        const double before = motion.depth;
        const double elapsed = motion.elapsed + 1.0 / 60.0;
        const double uncut = before - (elapsed * motion.speed - elapsed * elapsed * Ballistic::pull);
        motion.update(1.0 / 60.0);
        if (motion.landed) {
            ASSERT_LT(before, 50.0);
            ASSERT_GT(uncut, 50.0);
            EXPECT_NEAR(before + (uncut - before) * motion.landingFraction, 50.0, 1e-9);
            break;
        }
    }
    // Launched from beyond its rest depth (an owner's odd write): it lands at
    // once, at the start of the update.
    motion.bouncing = true;
    motion.elapsed = 0.0;
    motion.speed = 7.0;
    motion.depth = 60.0;
    motion.update(1.0 / 60.0);
    EXPECT_TRUE(motion.landed);
    EXPECT_EQ(motion.landingFraction, 0.0);
}
