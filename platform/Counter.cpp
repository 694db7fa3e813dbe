// The counter the stopwatches read: the backend's machine clock, or the clock a
// test installed in its place. Compiled into each backend beside its clock.
#include "platform/Counter.h"

namespace platform {

namespace {

Clock* installedClock = nullptr;

Clock& clock()
{
    return installedClock != nullptr ? *installedClock : machineClock();
}

} // namespace

std::int64_t queryPerformanceFrequency()
{
    return clock().frequency();
}

std::int64_t queryPerformanceCounter()
{
    return clock().counter();
}

Clock* setClock(Clock* replacement)
{
    Clock* previous = installedClock;
    installedClock = replacement;
    return previous;
}

} // namespace platform
