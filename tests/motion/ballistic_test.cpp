// The thrown block's flights, rests and spins, pinned to the numbers the toy
// has always produced at the frame rates it meets.
#include "motion/Ballistic.h"

#include "scene/Actor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr double sixtieth = 1.0 / 60.0;
constexpr double thirtieth = 1.0 / 30.0;

void launch(Ballistic& motion)
{
    motion.bouncing = true;
    motion.elapsed = 0.0;
    motion.speed = 7.0;
    motion.depth = 50.0;
}

// What happened over one flight series at a constant step.
struct Series {
    int deepestUpdate = 0;
    double deepest = 50.0;
    int firstBounceUpdate = 0;
    int restUpdate = 0;
    std::vector<double> flightSpeeds;
};

Series throwAt(double dt)
{
    std::srand(7);
    Ballistic motion;
    launch(motion);
    Series series;
    series.flightSpeeds.push_back(motion.speed);
    for (int update = 1; update <= 10000 && motion.bouncing; ++update) {
        const double speedBefore = motion.speed;
        EXPECT_TRUE(motion.update(dt));
        if (motion.depth < series.deepest) {
            series.deepest = motion.depth;
            series.deepestUpdate = update;
        }
        if (motion.speed != speedBefore) {
            if (series.firstBounceUpdate == 0)
                series.firstBounceUpdate = update;
            if (motion.bouncing)
                series.flightSpeeds.push_back(motion.speed);
        }
        if (!motion.bouncing)
            series.restUpdate = update;
    }
    return series;
}

// Number of updates at rest, from the state given, until the spin is chosen
// anew (idle time back to 0).
int updatesUntilRespin(Ballistic& motion, double dt)
{
    for (int update = 1; update <= 100000; ++update) {
        motion.update(dt);
        if (motion.idleTime == 0.0)
            return update;
    }
    return -1;
}

} // namespace

TEST(BallisticConstruction, RestsAtDepthFiftyUnrotatedWithAcceptedSpin)
{
    std::srand(1);
    Ballistic motion;
    EXPECT_FALSE(motion.bouncing);
    EXPECT_EQ(motion.depth, 50.0);
    EXPECT_EQ(motion.elapsed, 0.0);
    EXPECT_EQ(motion.speed, 0.0);
    EXPECT_EQ(motion.idleTime, 0.0);
    EXPECT_EQ(motion.rotation.x, 0.0f);
    EXPECT_EQ(motion.rotation.y, 0.0f);
    EXPECT_EQ(motion.rotation.z, 0.0f);
    EXPECT_TRUE(Ballistic::acceptsSpin(motion.spin.x, motion.spin.y, motion.spin.z));
}

TEST(BallisticFlight, HalfSecondStepsReachTheFirstBounce)
{
    Ballistic motion;
    launch(motion);

    motion.update(0.5);
    EXPECT_NEAR(motion.depth, 48.45, 1e-12);
    EXPECT_TRUE(motion.bouncing);
    motion.update(0.5);
    EXPECT_NEAR(motion.depth, 49.25, 1e-12);

    motion.update(0.5); // 56.3 would be past the floor
    EXPECT_EQ(motion.depth, 50.0);
    EXPECT_EQ(motion.elapsed, 0.0);
    EXPECT_EQ(motion.speed, static_cast<double>(5.6f));
    EXPECT_NEAR(motion.speed, 5.599999904632568, 1e-15);
    EXPECT_TRUE(motion.bouncing);
}

TEST(BallisticFlight, SixtiethStepsComeNearTheCameraAndRestAfterTwelveFlights)
{
    const Series series = throwAt(sixtieth);
    EXPECT_EQ(series.deepestUpdate, 53);
    EXPECT_NEAR(series.deepest, -6.3655, 5e-4);
    EXPECT_EQ(series.firstBounceUpdate, 81);
    EXPECT_EQ(series.restUpdate, 377);
    EXPECT_EQ(series.flightSpeeds.size(), 12u);
}

TEST(BallisticFlight, ThirtiethStepsStayFartherAndRestSooner)
{
    const Series series = throwAt(thirtieth);
    EXPECT_EQ(series.deepestUpdate, 26);
    EXPECT_NEAR(series.deepest, 21.842, 5e-4);
    EXPECT_EQ(series.restUpdate, 187);
}

TEST(BallisticFlight, FlightSpeedsDecayInSinglePrecision)
{
    const double expected[] = {7.0,      5.6,      4.48,     3.584,    2.8672,   2.29376,
                               1.835008, 1.468006, 1.174405, 0.939524, 0.751619, 0.601295};
    const Series series = throwAt(sixtieth);
    ASSERT_EQ(series.flightSpeeds.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const double speed = series.flightSpeeds[i];
        ASSERT_NEAR(speed, expected[i], 5e-7) << "flight " << i + 1;
        ASSERT_EQ(speed, static_cast<double>(static_cast<float>(speed))) << "flight " << i + 1;
    }
}

TEST(BallisticFlight, TwelfthBounceStopsTheBlock)
{
    Ballistic motion;
    motion.bouncing = true;
    motion.elapsed = 0.0;
    motion.speed = static_cast<double>(0.601295f);
    motion.depth = 50.0;
    motion.rotation = {10.0f, 20.0f, 30.0f, 0.0f};
    motion.spin = {0.0f, 0.0f, 0.0f, 0.0f}; // keep the angles where they are

    motion.update(1.0); // h = 0.6 - 7.8 < 0: past the floor at once, 0.481 < 0.5
    EXPECT_FALSE(motion.bouncing);
    EXPECT_EQ(motion.speed, 0.0);
    EXPECT_EQ(motion.depth, 50.0);
    EXPECT_EQ(motion.elapsed, 0.0);
    EXPECT_EQ(motion.idleTime, 0.0);
    // The angles are kept; only a re-spin at rest snaps them back.
    EXPECT_EQ(motion.rotation.x, 10.0f);
    EXPECT_EQ(motion.rotation.y, 20.0f);
    EXPECT_EQ(motion.rotation.z, 30.0f);
    EXPECT_TRUE(Ballistic::acceptsSpin(motion.spin.x, motion.spin.y, motion.spin.z));
}

TEST(BallisticFlight, LongStepEndsTheFlightAtOnce)
{
    Ballistic motion;
    launch(motion);
    motion.update(2.0); // h = 14 - 31.2 = -17.2: depth 67.2
    EXPECT_TRUE(motion.bouncing);
    EXPECT_EQ(motion.depth, 50.0);
    EXPECT_EQ(motion.elapsed, 0.0);
    EXPECT_EQ(motion.speed, static_cast<double>(5.6f));
}

TEST(BallisticFlight, ZeroStepAfterLaunchIsNoBounce)
{
    Ballistic motion;
    launch(motion);
    motion.update(0.0);
    EXPECT_TRUE(motion.bouncing);
    EXPECT_EQ(motion.depth, 50.0);
    EXPECT_EQ(motion.speed, 7.0);
    EXPECT_EQ(motion.elapsed, 0.0);
}

TEST(BallisticFlight, LaunchInMidFlightRestartsFromRestDepthAndKeepsSpinning)
{
    Ballistic motion;
    motion.spin = {0.5f, 0.0f, 0.25f, 0.0f};
    launch(motion);
    for (int i = 0; i < 30; ++i)
        motion.update(sixtieth);
    ASSERT_LT(motion.depth, 50.0);
    const Vector4 angles = motion.rotation;

    launch(motion);
    EXPECT_EQ(motion.depth, 50.0);
    motion.update(sixtieth);
    // The first update of a fresh flight: elapsed is one step, as after launch.
    const double t = sixtieth;
    EXPECT_NEAR(motion.depth, 50.0 - (t * 7.0 - t * t * 7.8), 1e-12);
    EXPECT_EQ(motion.spin.x, 0.5f);
    EXPECT_EQ(motion.spin.z, 0.25f);
    EXPECT_NEAR(motion.rotation.x, angles.x + 3.0f, 1e-4);
    EXPECT_EQ(motion.rotation.y, angles.y);
    EXPECT_NEAR(motion.rotation.z, angles.z + 1.5f, 1e-4);
}

TEST(BallisticFlight, InFlightTheIdleTimeStaysZero)
{
    Ballistic motion;
    motion.idleTime = 3.0;
    launch(motion);
    motion.update(sixtieth);
    EXPECT_EQ(motion.idleTime, 0.0);
}

TEST(BallisticRest, RespinOnThe301stSixtiethStep)
{
    Ballistic fresh;
    EXPECT_EQ(updatesUntilRespin(fresh, sixtieth), 301);

    // Also counted from the update that ends a bounce series.
    Ballistic thrown;
    launch(thrown);
    while (thrown.bouncing)
        thrown.update(sixtieth);
    EXPECT_EQ(updatesUntilRespin(thrown, sixtieth), 301);
}

TEST(BallisticRest, FiveSecondsExactlyDoNotYetRespin)
{
    Ballistic motion;
    for (int i = 0; i < 10; ++i)
        motion.update(0.5);
    EXPECT_EQ(motion.idleTime, 5.0);
    motion.update(0.5);
    EXPECT_EQ(motion.idleTime, 0.0);
}

TEST(BallisticRest, RespinLeavesTheAnglesExactlyZero)
{
    Ballistic motion;
    motion.spin = {0.3f, 0.7f, 0.9f, 0.0f};
    for (int i = 0; i < 300; ++i)
        motion.update(sixtieth);
    ASSERT_NE(motion.rotation.x, 0.0f);
    motion.update(sixtieth); // turns first, then snaps back
    EXPECT_EQ(motion.rotation.x, 0.0f);
    EXPECT_EQ(motion.rotation.y, 0.0f);
    EXPECT_EQ(motion.rotation.z, 0.0f);
    EXPECT_TRUE(Ballistic::acceptsSpin(motion.spin.x, motion.spin.y, motion.spin.z));
}

TEST(BallisticSpin, AxisWithoutRateKeepsItsAngle)
{
    Ballistic motion;
    motion.spin = {0.0f, 0.01f, 0.5f, 0.0f}; // 0.01 is not above the threshold either
    motion.rotation = {12.5f, 33.0f, 0.0f, 0.0f};
    motion.update(0.1);
    EXPECT_EQ(motion.rotation.x, 12.5f);
    EXPECT_EQ(motion.rotation.y, 33.0f);
    EXPECT_NEAR(motion.rotation.z, 18.0f, 1e-5);
}

TEST(BallisticSpin, RatesFollowTheRandDraws)
{
    std::srand(4242);
    Ballistic motion; // draws in its constructor

    std::srand(4242);
    float x, y, z;
    do {
        x = static_cast<float>(static_cast<double>(std::rand() % 10) / 10.0);
        y = static_cast<float>(static_cast<double>(std::rand() % 10) / 10.0);
        z = static_cast<float>(static_cast<double>(std::rand() % 10) / 10.0);
    } while (static_cast<double>(x) + static_cast<double>(y) + static_cast<double>(z) < 1.0);

    EXPECT_EQ(motion.spin.x, x);
    EXPECT_EQ(motion.spin.y, y);
    EXPECT_EQ(motion.spin.z, z);
    // Nothing else was drawn: the next result is the one after the accepted triple.
    const int next = std::rand();
    std::srand(4242);
    motion.randomizeSpin();
    EXPECT_EQ(std::rand(), next);
}

TEST(BallisticSpin, RateWIsLeftAlone)
{
    Ballistic motion;
    motion.spin.w = 0.75f;
    motion.randomizeSpin();
    EXPECT_EQ(motion.spin.w, 0.75f);
}

TEST(BallisticSpin, SevenHundredSixtyEightTriplesPass)
{
    int passing = 0;
    for (int a = 0; a < 10; ++a)
        for (int b = 0; b < 10; ++b)
            for (int c = 0; c < 10; ++c)
                passing += Ballistic::acceptsSpin(static_cast<float>(a / 10.0), static_cast<float>(b / 10.0),
                                                  static_cast<float>(c / 10.0));
    EXPECT_EQ(passing, 768);

    // Single precision leaves these two decimal sums of 1.0 just short...
    EXPECT_FALSE(Ballistic::acceptsSpin(0.9f, 0.1f, 0.0f));
    EXPECT_FALSE(Ballistic::acceptsSpin(0.1f, 0.2f, 0.7f));
    // ...while others reach it.
    EXPECT_TRUE(Ballistic::acceptsSpin(0.5f, 0.5f, 0.0f));
    EXPECT_TRUE(Ballistic::acceptsSpin(0.4f, 0.3f, 0.3f));
}

TEST(BallisticPlayback, UpdateReturnsTrueInEveryState)
{
    Ballistic motion;
    EXPECT_TRUE(motion.update(sixtieth)); // at rest
    EXPECT_TRUE(motion.update(6.0));      // at rest, re-spin
    launch(motion);
    EXPECT_TRUE(motion.update(sixtieth)); // in flight
    EXPECT_TRUE(motion.update(2.0));      // bounce
    motion.speed = 0.6;
    EXPECT_TRUE(motion.update(2.0)); // stop
    EXPECT_FALSE(motion.bouncing);
}

TEST(BallisticPlayback, ApplyToWritesAnglesAndDepthOnly)
{
    Ballistic motion;
    motion.rotation = {1.5f, 2.5f, 3.5f, 9.0f};
    motion.depth = 12.345678901234;

    struct Probe : Actor {
        void draw() override {}
    } actor;
    actor.position = {4.0f, 5.0f, 6.0f, 7.0f};
    actor.rotation = {0.0f, 0.0f, 0.0f, 8.0f};

    motion.applyTo(&actor);
    EXPECT_EQ(actor.position.x, 4.0f);
    EXPECT_EQ(actor.position.y, 5.0f);
    EXPECT_EQ(actor.position.z, static_cast<float>(12.345678901234));
    EXPECT_EQ(actor.position.w, 7.0f);
    EXPECT_EQ(actor.rotation.x, 1.5f);
    EXPECT_EQ(actor.rotation.y, 2.5f);
    EXPECT_EQ(actor.rotation.z, 3.5f);
    EXPECT_EQ(actor.rotation.w, 8.0f);
}

// A key held down all day (auto-repeat relaunching the block every 1/30 s)
// must not drive the angles to where a float stops advancing.
TEST(BallisticSpin, AnglesStayWrappedAndTurningAfterADayOfRelaunches)
{
    Ballistic motion;
    motion.spin = {0.9f, 0.3f, 0.1f, 0.0f};
    const double steps = 86400.0 * 60.0;
    bool inRange = true;
    for (long frame = 0; frame < static_cast<long>(steps); ++frame) {
        if (frame % 2 == 0)
            launch(motion);
        motion.update(sixtieth);
        for (float angle : {motion.rotation.x, motion.rotation.y, motion.rotation.z})
            inRange = inRange && angle >= 0.0f && angle < 360.0f;
    }
    EXPECT_TRUE(inRange);
    EXPECT_TRUE(motion.bouncing);

    const Vector4 before = motion.rotation;
    motion.update(sixtieth);
    const float rates[3] = {0.9f, 0.3f, 0.1f};
    const float previous[3] = {before.x, before.y, before.z};
    const float now[3] = {motion.rotation.x, motion.rotation.y, motion.rotation.z};
    for (int axis = 0; axis < 3; ++axis) {
        double turned = std::fmod(static_cast<double>(now[axis]) - previous[axis] + 360.0, 360.0);
        EXPECT_NEAR(turned, rates[axis] * sixtieth * 360.0, 1e-3) << "axis " << axis;
    }
}
