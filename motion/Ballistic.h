// Keeps a block spinning at random rates and, once launched by its owner,
// throws it toward the viewer in a series of decaying bounces back to its rest
// depth. The owner launches by writing bouncing, elapsed, speed and depth.
#pragma once

#include "motion/ActorPlayback.h"
#include "util/Vector4.h"

class Ballistic : public ActorPlayback {
public:
    Ballistic();

    bool update(double dt) override;
    void applyTo(Actor* actor) override;

    double idleTime;
    bool bouncing;
    double elapsed;
    double speed;
    double depth;
    Vector4 spin{0.0f, 0.0f, 0.0f, 0.0f};
    Vector4 rotation{0.0f, 0.0f, 0.0f, 0.0f};

    // Whether the last update() ended in a bounce: the block came back down
    // through its rest depth. Then landingFraction says where within that
    // update's dt it crossed (0 to 1, the depth's path taken as straight
    // within the update) and landingSpeed the flight's speed before the
    // bounce cut it. The last bounce, where the block comes to rest, counts.
    bool landed = false;
    double landingFraction = 0.0;
    double landingSpeed = 0.0;

    static constexpr double restDepth = 50.0;
    static constexpr double pull = 7.8;
    static constexpr double bounceKeep = 0.8;
    static constexpr double stopSpeed = 0.5;
    static constexpr double respinAfter = 5.0;
    static constexpr double minimumSpin = 0.01;
    static constexpr double degreesPerTurn = 360.0;

    // Draws new spin rates; used by the constructor and update() only.
    void randomizeSpin();

    // Whether a drawn triple of rates turns the block enough to keep: the sum
    // of the three single-precision rates, formed in double, reaches one turn.
    static bool acceptsSpin(float x, float y, float z);
};
