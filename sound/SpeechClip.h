// A character's spoken name, ready to mix: mono samples scaled to the level
// of the loudest landing, at the rate they were made at.
#pragma once

#include <cstdint>
#include <vector>

namespace sound {

struct SpeechClip {
    // The clip's own peak goes to this (-12 dBFS, as the loudest landing).
    static constexpr float peak = 0.25f;
    // Quieter recordings are raised at most this much, so that a clip of near
    // silence stays near silence.
    static constexpr float maximumGain = 16.0f;

    SpeechClip(const std::vector<std::int16_t>& source, int sourceRate);

    std::vector<float> samples;
    int rate;
};

} // namespace sound
