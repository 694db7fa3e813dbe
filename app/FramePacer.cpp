#include "app/FramePacer.h"

#include "platform/Counter.h"

#include <algorithm>

namespace {

constexpr int unknownRate = 60;

} // namespace

FramePacer::FramePacer(int refreshRate)
    : frequency(std::max<std::int64_t>(platform::queryPerformanceFrequency(), 1)),
      period(std::max<std::int64_t>(frequency / (refreshRate > 0 ? refreshRate : unknownRate), 1))
{
}

double FramePacer::secondsToWait()
{
    const std::int64_t now = platform::queryPerformanceCounter();
    if (drawing)
        frameEnded(now);
    if (!started || swapWaitsForDisplay || now >= due || sinceProbe >= probeEvery)
        return 0.0;
    heldBack = true;
    return static_cast<double>(due - now) / static_cast<double>(frequency);
}

void FramePacer::frameStarting()
{
    const std::int64_t now = platform::queryPerformanceCounter();
    // Drawn at once after the frame before: nothing else stretched it, so the
    // frame lasts as long as the drawing and the swap.
    probing = started && !heldBack && now - lastEnd <= period / 8;
    sinceProbe = heldBack ? sinceProbe + 1 : 0;
    heldBack = false;
    drawing = true;
    frameStart = now;
    if (!started) {
        started = true;
        due = now;
    }
    // The next turn on the grid, which keeps its step whether this frame came
    // on time, early (drawn at once to measure the swap: up to a period) or
    // late, so neither measuring nor a busy machine's late wake-ups change
    // the rate: a frame less than a period late leaves the next one its
    // usual turn. One later than that (a stall, a pause) starts the grid
    // afresh rather than making up the lost frames in a burst; so does a
    // grid run ahead of the frames.
    due += period;
    if (due <= now || due > now + 2 * period)
        due = now + period;
}

void FramePacer::frameEnded(std::int64_t now)
{
    drawing = false;
    lastEnd = now;
    if (!probing)
        return;
    // A swap that waits ends on the display's next refresh, a whole period
    // after the one before; allow a tenth for the wake-up's lateness.
    if ((now - frameStart) * 10 >= period * 9) {
        waitsSeen = std::min(waitsSeen + 1, waitsToBelieve);
        if (waitsSeen >= waitsToBelieve)
            swapWaitsForDisplay = true;
    } else {
        waitsSeen = 0;
        swapWaitsForDisplay = false;
    }
}
