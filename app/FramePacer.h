// Keeps frames from coming faster than the display shows them. Where the
// buffer swap itself waits for the display (vsync granted and honoured), it
// adds no wait of its own, so the frames follow the display at whatever rate
// it has. Where the swap does not wait, it holds each frame back until its
// turn on a grid of the display's refresh period. Whether the swap waits is
// measured, never assumed: a frame drawn at once after the one before takes
// a whole period when the swap waits, and much less when it does not. Such a
// frame is drawn every so often while pacing, so a swap that starts waiting
// later is noticed too. Reads the counter through platform/Counter.h.
#pragma once

#include <cstdint>

class FramePacer {
public:
    // The refresh rate as the platform reports it; 0 (unknown) paces at 60 Hz.
    explicit FramePacer(int refreshRate);

    // Seconds until the next frame is due, 0 when it may be drawn now. The
    // first call after a frame also marks that frame's end (its swap done).
    double secondsToWait();
    // The frame is being drawn now.
    void frameStarting();

    bool swapWaits() const { return swapWaitsForDisplay; }
    std::int64_t periodTicks() const { return period; }

    // Frames paced between two drawn at once, to see whether the swap waits.
    static constexpr int probeEvery = 30;
    // Frames drawn at once in a row that must each take a whole period
    // before the swap is believed to wait; one that does not is enough to
    // pace again, since pacing with a swap that waits costs nothing.
    static constexpr int waitsToBelieve = 2;

private:
    void frameEnded(std::int64_t now);

    std::int64_t frequency;
    std::int64_t period;
    bool swapWaitsForDisplay = true;
    bool started = false;
    bool drawing = false;
    // The frame being drawn started at once after the one before ended,
    // without being held back, so its length says whether the swap waits.
    bool probing = false;
    bool heldBack = false;
    int waitsSeen = 0;
    int sinceProbe = 0;
    std::int64_t due = 0;
    std::int64_t frameStart = 0;
    std::int64_t lastEnd = 0;
};
