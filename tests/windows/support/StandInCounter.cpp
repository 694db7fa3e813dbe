// The performance counter for test programs built without the Win32 backend
// (which has the real one): the standard library's steady clock, replaceable
// by a test's clock as the real one is.
#include "platform/Counter.h"

#include <chrono>

namespace platform {

namespace {

class SteadyClock : public Clock {
public:
    std::int64_t frequency() override { return std::chrono::steady_clock::period::den; }
    std::int64_t counter() override { return std::chrono::steady_clock::now().time_since_epoch().count(); }
};

SteadyClock machineClock;
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
