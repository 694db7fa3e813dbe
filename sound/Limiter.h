// Keeps the mix under a ceiling without clipping: a look-ahead peak limiter.
// Each sample's needed gain (ceiling over its peak, at most 1) is held over
// the look-ahead window and averaged over it again, so the gain is already
// down, smoothly, when the peak leaves the delay line, and never above what
// any sample in it needs; it then recovers slowly, without pumping on each
// strike. The whole costs a look-ahead of delayFrames().
#pragma once

#include <array>
#include <cstdint>

namespace sound {

class Limiter {
public:
    static constexpr double lookAheadSeconds = 0.0015;
    static constexpr double releaseSeconds = 0.08;
    // Look-ahead room for sample rates up to 384 kHz and more.
    static constexpr int capacity = 1024;

    explicit Limiter(float ceiling);

    // Starts afresh at `sampleRate`: the delay line is emptied.
    void configure(int sampleRate);
    // Limits interleaved stereo in place; each frame comes out delayFrames() late.
    void process(float* samples, int frames);
    int delayFrames() const { return window - 1; }
    float ceiling() const { return limit; }

private:
    float limit;
    int window = 1;
    double release = 1.0;
    double needed = 1.0; // the needed gain, released slowly
    std::int64_t position = 0;
    std::array<float, 2 * capacity> delayed{};
    // The held gains of the last `window` samples, and their sum.
    std::array<double, capacity> held{};
    double heldSum = 0.0;
    // The least needed gain of the window: a queue of (position, gain) whose
    // gains rise from front to back.
    std::array<std::int64_t, capacity> minimumAt{};
    std::array<double, capacity> minimum{};
    int front = 0, count = 0;
};

} // namespace sound
