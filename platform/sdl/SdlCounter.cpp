// The high-resolution counter on SDL's performance counter (a monotonic clock
// in nanoseconds on Linux), replaceable by tests. SDL needs no initialising
// for it.
#include "platform/Counter.h"

#include <SDL.h>

namespace platform {

namespace {

class SdlClock : public Clock {
public:
    std::int64_t frequency() override { return static_cast<std::int64_t>(SDL_GetPerformanceFrequency()); }
    std::int64_t counter() override { return static_cast<std::int64_t>(SDL_GetPerformanceCounter()); }
};

SdlClock machineClock;
Clock* installedClock = nullptr;

Clock& clock()
{
    return installedClock != nullptr ? *installedClock : machineClock;
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
