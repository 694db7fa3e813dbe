// Spoken clips end when the voice ends: the synthesizer leaves up to 150 ms
// of silence after each.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// Cuts the quiet tail, keeping a few milliseconds after the last sample
// above the noise floor, faded out so the cut makes no click. A clip that is
// silent all through comes back empty.
void trimTrailingSilence(std::vector<std::int16_t>& samples, int sampleRate);

} // namespace platform
