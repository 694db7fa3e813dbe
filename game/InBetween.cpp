#include "game/InBetween.h"

#include "game/FixedStep.h"
#include "scene/Actor.h"

#include <cmath>

namespace {

// The turn Ballistic::update gives one axis in a step, formed as it forms it:
// rate times the step in degrees, or nothing for a rate it treats as still.
double stepTurn(float rate)
{
    if (std::fabs(static_cast<double>(rate)) <= Ballistic::minimumSpin)
        return 0.0;
    return static_cast<double>(rate) * FixedStep::step * Ballistic::degreesPerTurn;
}

// An angle part-way through its turn, kept in [0, 360) as the motion keeps it.
float turned(float from, double turn, double fraction)
{
    double angle = std::fmod(static_cast<double>(from) + turn * fraction, Ballistic::degreesPerTurn);
    if (angle < 0.0)
        angle += Ballistic::degreesPerTurn;
    const float stored = static_cast<float>(angle);
    return stored >= static_cast<float>(Ballistic::degreesPerTurn) ? 0.0f : stored;
}

} // namespace

void InBetween::stepFrom(const Ballistic& motion)
{
    fromDepth = motion.depth;
    toDepth = motion.depth;
    fromRotation = motion.rotation;
    // The spin before the step is the one the step turns by, even when the
    // step ends in a re-spin.
    turn[0] = stepTurn(motion.spin.x);
    turn[1] = stepTurn(motion.spin.y);
    turn[2] = stepTurn(motion.spin.z);
}

void InBetween::stepTo(const Ballistic& motion)
{
    // A bounce ends the step at the rest depth: the cube goes back to it and
    // no further, and the next flight starts from there.
    toDepth = motion.depth;
}

void InBetween::applyTo(Actor* actor, double fraction) const
{
    actor->rotation.x = turned(fromRotation.x, turn[0], fraction);
    actor->rotation.y = turned(fromRotation.y, turn[1], fraction);
    actor->rotation.z = turned(fromRotation.z, turn[2], fraction);
    actor->position.z = static_cast<float>(fromDepth + (toDepth - fromDepth) * fraction);
}
