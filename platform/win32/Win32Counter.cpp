// The high-resolution counter on Windows' performance counter, replaceable by
// tests.
#include "platform/Counter.h"

#include <windows.h>

namespace platform {

namespace {

class PerformanceCounterClock : public Clock {
public:
    std::int64_t frequency() override
    {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }
    std::int64_t counter() override
    {
        LARGE_INTEGER value;
        QueryPerformanceCounter(&value);
        return value.QuadPart;
    }
};

PerformanceCounterClock machineClock;
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
