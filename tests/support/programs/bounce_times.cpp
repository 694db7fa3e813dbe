// The motion's own landing times for a throw at the game's speed, for the
// whole-program sound tests and benchmarks to compare the tones with:
//
//   bounce_times
//
// One line per landing: the seconds from the launch (the start of the first
// fixed step after it) to the landing within its step, and the speed it came
// down at.
#include "game/FixedStep.h"
#include "motion/Ballistic.h"

#include <cstdio>

int main()
{
    constexpr double launchSpeed = 7.0;
    Ballistic motion;
    motion.bouncing = true;
    motion.elapsed = 0.0;
    motion.speed = launchSpeed;
    double start = 0.0;
    for (int step = 0; step < 100000 && motion.bouncing; ++step) {
        motion.update(FixedStep::step);
        if (motion.landed)
            std::printf("%.5f %.4f\n", start + FixedStep::step * motion.landingFraction, motion.landingSpeed);
        start += FixedStep::step;
    }
    return 0;
}
