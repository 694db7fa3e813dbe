// Spin at random rates, and decaying flights toward the viewer after a launch.
//
// The flight moves the depth by the whole height of its curve at every update,
// not by the change since the last one, so how near a block comes depends on
// how often it is updated. That is how the toy has always thrown its blocks and
// is kept here; the scene updates every motion in fixed steps of 1/60 s, the
// rate the curve was made for, whatever the frame rate.
#include "motion/Ballistic.h"

#include "scene/Actor.h"

#include <cmath>
#include <cstdlib>

namespace {

// Turns one angle by its rate over dt. The sum is formed in double and kept in
// [0, 360): unwrapped, a block spinning for days would pass 2^24 degrees, where a
// float can no longer advance and the block would judder and then freeze.
void turn(float& angle, float rate, double dt)
{
    if (std::fabs(static_cast<double>(rate)) <= Ballistic::minimumSpin)
        return;
    double advanced = static_cast<double>(angle) + static_cast<double>(rate) * dt * Ballistic::degreesPerTurn;
    advanced = std::fmod(advanced, Ballistic::degreesPerTurn);
    if (advanced < 0.0)
        advanced += Ballistic::degreesPerTurn;
    float stored = static_cast<float>(advanced);
    // Just below 360 (or a tiny negative plus 360) can round up to 360 itself.
    if (stored >= static_cast<float>(Ballistic::degreesPerTurn))
        stored = 0.0f;
    angle = stored;
}

// Where, from 0 to 1, a path from `from` to `to` passes the rest depth.
double crossing(double from, double to)
{
    if (!(to > from))
        return 0.0;
    const double fraction = (Ballistic::restDepth - from) / (to - from);
    return fraction < 0.0 ? 0.0 : (fraction > 1.0 ? 1.0 : fraction);
}

float drawRate()
{
    return static_cast<float>(static_cast<double>(std::rand() % 10) / 10.0);
}

} // namespace

Ballistic::Ballistic()
{
    rotation.x = 0.0f;
    rotation.y = 0.0f;
    rotation.z = 0.0f;
    bouncing = false;
    elapsed = 0.0;
    speed = 0.0;
    depth = restDepth;
    randomizeSpin();
    idleTime = 0.0;
}

bool Ballistic::update(double dt)
{
    elapsed += dt;
    landed = false;

    turn(rotation.x, spin.x, dt);
    turn(rotation.y, spin.y, dt);
    turn(rotation.z, spin.z, dt);

    if (bouncing) {
        idleTime = 0.0;

        const double t = elapsed;
        const double before = depth;
        depth = depth - (t * speed - t * (t * pull));

        if (depth > restDepth) {
            landed = true;
            landingFraction = crossing(before, depth);
            landingSpeed = speed;
            // The speed keeps single precision from bounce to bounce, so the
            // flights follow the same float sequence on every machine.
            speed = static_cast<float>(speed * bounceKeep);
            elapsed = 0.0;
            depth = restDepth;

            if (speed < stopSpeed) {
                elapsed = 0.0;
                bouncing = false;
                speed = 0.0;
                depth = restDepth;
                randomizeSpin();
                idleTime = 0.0;
            }
        }
        return true;
    }

    idleTime += dt;
    if (idleTime > respinAfter) {
        idleTime = 0.0;
        rotation.x = 0.0f;
        rotation.y = 0.0f;
        rotation.z = 0.0f;
        randomizeSpin();
    }
    return true;
}

void Ballistic::applyTo(Actor* actor)
{
    actor->rotation.x = rotation.x;
    actor->rotation.y = rotation.y;
    actor->rotation.z = rotation.z;
    actor->position.z = static_cast<float>(depth);
}

bool Ballistic::acceptsSpin(float x, float y, float z)
{
    return static_cast<double>(x) + static_cast<double>(y) + static_cast<double>(z) >= 1.0;
}

void Ballistic::randomizeSpin()
{
    spin.x = 0.0f;
    spin.y = 0.0f;
    spin.z = 0.0f;
    // One rand() per axis, x then y then z: the order of draws decides which
    // rates a given seed produces.
    do {
        spin.x = drawRate();
        spin.y = drawRate();
        spin.z = drawRate();
    } while (!acceptsSpin(spin.x, spin.y, spin.z));
}
