// Elapsed time on the high-resolution counter, kept in whole ticks and turned
// into seconds only when read. There is no running state: stop() always
// measures from the last start().
#pragma once

#include <cstdint>

class Stopwatch {
public:
    Stopwatch();

    void start();
    void stop();
    void reset();
    // Ticks gathered by stop() so far, in seconds; does not read the counter.
    double seconds() const;

    std::int64_t startCount = 0;
    std::int64_t accumulatedTicks = 0;
    std::int64_t startTick = 0;

    // Ticks per second, shared by every stopwatch; queried by the first one made.
    static std::int64_t frequency;
};
