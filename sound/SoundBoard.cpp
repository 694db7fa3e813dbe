#include "sound/SoundBoard.h"

#include <algorithm>

namespace sound {

SoundBoard::SoundBoard() = default;

SoundBoard::~SoundBoard() = default;

void SoundBoard::landing(int, double, double) {}

void SoundBoard::say(int) {}

void SoundBoard::render(float* samples, int frames, int, std::int64_t)
{
    std::fill(samples, samples + 2 * static_cast<std::ptrdiff_t>(frames), 0.0f);
}

void SoundBoard::spoken(int, std::vector<std::int16_t>, int) {}

} // namespace sound
