// The tail's cut: the last sample louder than about -40 dB of full scale
// marks the end of the voice.
#include "platform/espeak/ClipTrim.h"

#include <algorithm>
#include <cstdlib>

namespace platform {

namespace {

constexpr int noiseFloor = 328;
constexpr int keptMilliseconds = 10;

} // namespace

void trimTrailingSilence(std::vector<std::int16_t>& samples, int sampleRate)
{
    std::size_t end = samples.size();
    while (end > 0 && std::abs(static_cast<int>(samples[end - 1])) < noiseFloor)
        --end;
    if (end == 0) {
        samples.clear();
        return;
    }
    const auto kept = static_cast<std::size_t>(std::max(sampleRate, 0) * keptMilliseconds / 1000);
    const std::size_t size = std::min(samples.size(), end + kept);
    for (std::size_t i = end; i < size; ++i) {
        const double gain = static_cast<double>(size - i) / static_cast<double>(size - end + 1);
        samples[i] = static_cast<std::int16_t>(samples[i] * gain);
    }
    samples.resize(size);
}

} // namespace platform
