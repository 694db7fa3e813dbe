#include "game/FixedStep.h"

int FixedStep::advance(double frameSeconds)
{
    // A clock that goes backwards or yields no number moves nothing.
    if (frameSeconds > 0.0)
        pending += frameSeconds;
    if (pending > maximumCatchUp)
        pending = maximumCatchUp;
    int steps = 0;
    while (pending >= step) {
        pending -= step;
        ++steps;
    }
    return steps;
}
