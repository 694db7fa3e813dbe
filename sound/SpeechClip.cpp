// A spoken name brought to the mix's level (see SpeechClip.h).
#include "sound/SpeechClip.h"

#include <algorithm>
#include <cstdlib>

namespace sound {

SpeechClip::SpeechClip(const std::vector<std::int16_t>& source, int sourceRate) : rate(sourceRate)
{
    int loudest = 0;
    for (std::int16_t sample : source)
        loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
    const float gain = loudest > 0 ? std::min(maximumGain, peak * 32768.0f / static_cast<float>(loudest)) : 0.0f;
    samples.reserve(source.size());
    for (std::int16_t sample : source)
        samples.push_back(static_cast<float>(sample) / 32768.0f * gain);
}

} // namespace sound
