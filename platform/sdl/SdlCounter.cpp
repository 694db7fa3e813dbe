// The machine's counter on SDL's performance counter (a monotonic clock in
// nanoseconds on Linux). SDL needs no initialising for it.
#include "platform/Counter.h"

#include <SDL.h>

namespace platform {

namespace {

class SdlClock : public Clock {
public:
    std::int64_t frequency() override { return static_cast<std::int64_t>(SDL_GetPerformanceFrequency()); }
    std::int64_t counter() override { return static_cast<std::int64_t>(SDL_GetPerformanceCounter()); }
};

} // namespace

Clock& machineClock()
{
    static SdlClock clock;
    return clock;
}

} // namespace platform
