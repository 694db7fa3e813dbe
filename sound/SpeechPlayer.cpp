// One spoken name at a time, resampled as it plays (see SpeechPlayer.h).
#include "sound/SpeechPlayer.h"

#include <algorithm>
#include <cstddef>

namespace sound {

void SpeechPlayer::say(int cube, const SpeechClip* clip)
{
    if (clip == nullptr || clip->samples.empty() || clip->rate <= 0)
        return;
    if (current.clip != nullptr && current.cube == cube)
        return; // still saying it: a held key repeats, the name does not
    if (current.clip != nullptr)
        fading = current;
    current = Lane{clip, cube, 0.0, 1.0};
}

void SpeechPlayer::play(Lane& lane, float* samples, int frames, int sampleRate, double fadeStep)
{
    if (lane.clip == nullptr)
        return;
    const std::vector<float>& source = lane.clip->samples;
    const double last = static_cast<double>(source.size() - 1);
    const double advance = static_cast<double>(lane.clip->rate) / static_cast<double>(sampleRate);
    for (int frame = 0; frame < frames; ++frame) {
        if (lane.position > last || lane.gain <= 0.0) {
            lane.clip = nullptr;
            return;
        }
        const auto index = static_cast<std::size_t>(lane.position);
        const double within = lane.position - static_cast<double>(index);
        const double next = index + 1 < source.size() ? static_cast<double>(source[index + 1]) : 0.0;
        const double value = (static_cast<double>(source[index]) * (1.0 - within) + next * within) * lane.gain;
        samples[2 * frame] += static_cast<float>(value);
        samples[2 * frame + 1] += static_cast<float>(value);
        lane.position += advance;
        lane.gain -= fadeStep;
    }
}

void SpeechPlayer::mixInto(float* samples, int frames, int sampleRate)
{
    if (sampleRate <= 0)
        return;
    play(current, samples, frames, sampleRate, 0.0);
    play(fading, samples, frames, sampleRate, 1.0 / std::max(1.0, fadeSeconds * static_cast<double>(sampleRate)));
}

} // namespace sound
