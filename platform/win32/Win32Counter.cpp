// The machine's counter on Windows' performance counter.
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

} // namespace

Clock& machineClock()
{
    static PerformanceCounterClock clock;
    return clock;
}

} // namespace platform
