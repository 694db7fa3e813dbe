// Where a cube is drawn between two fixed steps of its motion. The motions
// advance in whole steps of 1/60 s; a display that refreshes faster (or not in
// step with them) would otherwise show a cube in the same place on several
// frames in a row. Each frame draws the placement the last step moved through,
// at the fraction of a step that is pending, so the drawing runs one step
// behind the motion and meets each step's state exactly as the next begins.
//
// A step only ever moves the cube: what the motion turned and how its depth
// went. Whatever jumps does so between steps in the drawing: a launch written
// into the motion, the re-spin that sets the angles to 0 and a bounce's return
// to the rest depth all show as the start of the next step's segment, never as
// a blend from the old placement. An angle that wraps past 360 is drawn as the
// turn it is, not as a sweep back through 180.
#pragma once

#include "motion/Ballistic.h"
#include "util/Vector4.h"

class Actor;

class InBetween {
public:
    // Before the step: the motion as it stands, launches included.
    void stepFrom(const Ballistic& motion);
    // After it: the depth it reached.
    void stepTo(const Ballistic& motion);
    // Writes the placement drawn at `fraction` (0 to 1) of the step into the
    // actor, as the motion's applyTo would: the angles about x, y and z, and
    // the depth, narrowed to single precision, into position z.
    void applyTo(Actor* actor, double fraction) const;

    double fromDepth = Ballistic::restDepth;
    double toDepth = Ballistic::restDepth;
    Vector4 fromRotation{0.0f, 0.0f, 0.0f, 0.0f};
    // Degrees the step turns each axis; 0 for an axis the motion leaves alone.
    double turn[3] = {0.0, 0.0, 0.0};
};
