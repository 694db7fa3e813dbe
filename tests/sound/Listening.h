// What the sound tests hear: a mixer's output rendered buffer by buffer on a
// counter that runs with the samples, and what can be read off it (where a
// sound starts, how loud each side is, which note sounds).
#pragma once

#include "sound/Mixer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace listening {

// Ticks a second of the tests' counter: microseconds.
constexpr std::int64_t ticks = 1000000;

struct Recording {
    int rate = 48000;
    std::vector<float> samples; // interleaved left, right

    int frames() const { return static_cast<int>(samples.size() / 2); }
    float left(int frame) const { return samples[2 * static_cast<std::size_t>(frame)]; }
    float right(int frame) const { return samples[2 * static_cast<std::size_t>(frame) + 1]; }

    // The first frame with any sound on either side, or -1.
    int firstSound(int from = 0) const
    {
        for (int frame = from; frame < frames(); ++frame)
            if (left(frame) != 0.0f || right(frame) != 0.0f)
                return frame;
        return -1;
    }
    float peak(int from = 0, int to = -1) const
    {
        const int end = to < 0 ? frames() : std::min(to, frames());
        float loudest = 0.0f;
        for (int frame = from; frame < end; ++frame)
            loudest = std::max({loudest, std::fabs(left(frame)), std::fabs(right(frame))});
        return loudest;
    }
    double energy(int channel, int from = 0, int to = -1) const
    {
        const int end = to < 0 ? frames() : std::min(to, frames());
        double sum = 0.0;
        for (int frame = from; frame < end; ++frame) {
            const double value = samples[2 * static_cast<std::size_t>(frame) + static_cast<std::size_t>(channel)];
            sum += value * value;
        }
        return sum;
    }
    // Both channels added, from `from` for `count` frames.
    std::vector<double> mono(int from, int count) const
    {
        std::vector<double> out;
        for (int frame = from; frame < std::min(from + count, frames()); ++frame)
            out.push_back(static_cast<double>(left(frame)) + static_cast<double>(right(frame)));
        return out;
    }
};

// Renders `seconds` more in buffers of `buffer` frames, the counter starting
// at `counter` (microseconds) and moving on with the frames rendered.
inline void render(sound::Mixer& mixer, Recording& recording, double seconds, int buffer = 256,
                   std::int64_t counter = 0)
{
    const int total = static_cast<int>(std::lround(seconds * recording.rate));
    std::vector<float> chunk;
    for (int done = 0; done < total; done += buffer) {
        const int frames = std::min(buffer, total - done);
        chunk.assign(2 * static_cast<std::size_t>(frames), 0.0f);
        const std::int64_t at =
            counter +
            static_cast<std::int64_t>(std::llround(static_cast<double>(recording.frames()) * ticks / recording.rate));
        mixer.render(chunk.data(), frames, recording.rate, at);
        recording.samples.insert(recording.samples.end(), chunk.begin(), chunk.end());
    }
}

inline sound::Landing landingAt(int cube, double speed, std::int64_t counter)
{
    sound::Landing landing;
    landing.cube = cube;
    landing.speed = speed;
    landing.counter = counter;
    landing.frequency = ticks;
    return landing;
}

// The strength of `frequency` in `windowed` at `rate` (Goertzel's recursion).
inline double strength(const std::vector<double>& windowed, int rate, double frequency)
{
    const double pi = 3.14159265358979323846;
    const double coefficient = 2.0 * std::cos(2.0 * pi * frequency / rate);
    double previous = 0.0, older = 0.0;
    for (double sample : windowed) {
        const double current = sample + coefficient * previous - older;
        older = previous;
        previous = current;
    }
    return std::sqrt(std::max(0.0, previous * previous + older * older - coefficient * previous * older));
}

// The note heard: the lowest spectral peak at least a fifth as strong as the
// strongest, found on a quarter-semitone grid from 25 Hz and refined to a
// cent. Returned in semitones above C1 (32.70 Hz), fractional.
inline double heardSemitones(const std::vector<double>& samples, int rate)
{
    const double pi = 3.14159265358979323846;
    std::vector<double> signal = samples; // under a Hann window
    for (std::size_t k = 0; k < signal.size(); ++k)
        signal[k] *= 0.5 - 0.5 * std::cos(2.0 * pi * static_cast<double>(k) / static_cast<double>(signal.size()));
    const double c1 = 32.703195662574829;
    const double top = std::log2(0.45 * rate / c1) * 12.0;
    std::vector<double> grid;
    for (int quarter = -16; quarter < 4.0 * top; ++quarter)
        grid.push_back(strength(signal, rate, c1 * std::exp2(quarter / 48.0)));
    const double strongest = *std::max_element(grid.begin(), grid.end());
    std::size_t found = 0;
    for (std::size_t k = 1; k + 1 < grid.size(); ++k) {
        if (grid[k] >= strongest / 5.0 && grid[k] >= grid[k - 1] && grid[k] >= grid[k + 1]) {
            found = k;
            break;
        }
    }
    const double coarse = -4.0 + 0.25 * static_cast<double>(found);
    double best = coarse, bestStrength = -1.0;
    for (int cent = -30; cent <= 30; ++cent) {
        const double semitone = coarse + cent / 100.0;
        const double value = strength(signal, rate, c1 * std::exp2(semitone / 12.0));
        if (value > bestStrength) {
            bestStrength = value;
            best = semitone;
        }
    }
    return best;
}

} // namespace listening
