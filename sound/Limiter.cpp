// The look-ahead limiter (see Limiter.h).
#include "sound/Limiter.h"

#include <algorithm>
#include <cmath>

namespace sound {

Limiter::Limiter(float ceiling) : limit(ceiling)
{
    configure(48000);
}

void Limiter::configure(int sampleRate)
{
    const double rate = static_cast<double>(std::max(sampleRate, 1));
    window = std::clamp(static_cast<int>(std::lround(lookAheadSeconds * rate)), 1, capacity - 1);
    release = 1.0 - std::exp(-1.0 / (releaseSeconds * rate));
    needed = 1.0;
    position = 0;
    delayed.fill(0.0f);
    held.fill(1.0);
    heldSum = static_cast<double>(window);
    front = 0;
    count = 0;
}

void Limiter::process(float* samples, int frames)
{
    for (int frame = 0; frame < frames; ++frame) {
        float& left = samples[2 * frame];
        float& right = samples[2 * frame + 1];
        const float peak = std::max(std::fabs(left), std::fabs(right));
        const double wanted = peak > limit ? static_cast<double>(limit) / static_cast<double>(peak) : 1.0;
        needed = std::min(wanted, needed + (1.0 - needed) * release);

        // The least of the window's needed gains.
        while (count > 0 && minimum[(front + count - 1) % capacity] >= needed)
            --count;
        minimum[(front + count) % capacity] = needed;
        minimumAt[(front + count) % capacity] = position;
        ++count;
        while (minimumAt[front] <= position - window) {
            front = (front + 1) % capacity;
            --count;
        }
        const double hold = minimum[front];

        // Averaged over the window once more; summed afresh at each turn of
        // the ring so that rounding cannot build up.
        const int slot = static_cast<int>(position % window);
        heldSum += hold - held[slot];
        held[slot] = hold;
        if (slot == window - 1) {
            heldSum = 0.0;
            for (int k = 0; k < window; ++k)
                heldSum += held[k];
        }
        const double gain = std::min(1.0, heldSum / static_cast<double>(window));

        delayed[2 * slot] = left;
        delayed[2 * slot + 1] = right;
        const int oldest = static_cast<int>((position + 1) % window);
        left = static_cast<float>(static_cast<double>(delayed[2 * oldest]) * gain);
        right = static_cast<float>(static_cast<double>(delayed[2 * oldest + 1]) * gain);
        ++position;
    }
}

} // namespace sound
