// The high-resolution counter behind the stopwatches. The program reads the
// machine's monotonic counter; tests install a clock of their own.
#pragma once

#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t frequency() = 0; // ticks per second
    virtual std::int64_t counter() = 0;
};

std::int64_t queryPerformanceFrequency();
std::int64_t queryPerformanceCounter();

// The backend's own monotonic counter.
Clock& machineClock();

// Replaces the clock; nullptr goes back to the machine's. Returns the previous one.
Clock* setClock(Clock* clock);

} // namespace platform
