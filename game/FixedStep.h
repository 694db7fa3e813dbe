// Turns variable frame times into whole steps of 1/60 s, so that the motions
// move the same way at any frame rate: their curves were tuned at 60 updates
// a second, and a throw taken in larger or smaller steps flies elsewhere.
#pragma once

class FixedStep {
public:
    static constexpr double step = 1.0 / 60.0;
    // After a long pause (the window minimized) at most this much time is
    // caught up, so the frame after it stays cheap.
    static constexpr double maximumCatchUp = 1.0;

    // Adds one frame's time and returns how many whole steps are now due.
    int advance(double frameSeconds);
    // How far the next step has come, from 0 up to (never reaching) 1.
    double fraction() const { return pending / step; }

    double pending = 0.0;
};
