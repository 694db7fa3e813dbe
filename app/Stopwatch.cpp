#include "app/Stopwatch.h"

#include "platform/Counter.h"

std::int64_t Stopwatch::frequency = 0;

Stopwatch::Stopwatch()
{
    if (frequency == 0)
        frequency = platform::queryPerformanceFrequency();
}

void Stopwatch::start()
{
    ++startCount;
    startTick = platform::queryPerformanceCounter();
}

void Stopwatch::stop()
{
    accumulatedTicks += platform::queryPerformanceCounter() - startTick;
}

void Stopwatch::reset()
{
    startCount = 0;
    startTick = 0;
    accumulatedTicks = 0;
}

double Stopwatch::seconds() const
{
    // A counter that reports no frequency gives no time rather than infinity.
    if (frequency == 0)
        return 0.0;
    return static_cast<double>(accumulatedTicks) / static_cast<double>(frequency);
}
