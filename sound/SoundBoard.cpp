// The board between the game, the audio device and the speech maker (see
// SoundBoard.h).
#include "sound/SoundBoard.h"

#include "platform/Counter.h"

#include <algorithm>
#include <cmath>

namespace sound {

namespace {

// A speech clip's rate outside this is taken for a fault and the clip ignored.
constexpr int lowestClipRate = 1000;
constexpr int highestClipRate = 384000;

bool isCube(int cube)
{
    return cube >= 0 && cube < SoundBoard::cubeCount;
}

} // namespace

SoundBoard::SoundBoard()
{
    for (auto& clip : clips)
        clip.store(nullptr, std::memory_order_relaxed);
}

SoundBoard::~SoundBoard() = default;

void SoundBoard::landing(int cube, double secondsAgo, double speed)
{
    if (!isCube(cube) || !std::isfinite(secondsAgo) || !std::isfinite(speed) || speed <= 0.0)
        return;
    const std::int64_t frequency = platform::queryPerformanceFrequency();
    const std::int64_t now = platform::queryPerformanceCounter();
    if (frequency <= 0)
        return;
    // A landing cannot be in the future, and further back than a few seconds
    // it plays at once anyway.
    const double ago = std::clamp(secondsAgo, 0.0, 60.0);
    Event event;
    event.kind = Event::Kind::landing;
    event.landing.cube = cube;
    event.landing.speed = speed;
    event.landing.frequency = frequency;
    event.landing.counter = now - static_cast<std::int64_t>(std::llround(ago * static_cast<double>(frequency)));
    events.push(event);
}

void SoundBoard::say(int cube)
{
    if (!isCube(cube))
        return;
    Event event;
    event.kind = Event::Kind::say;
    event.landing.cube = cube;
    events.push(event);
}

void SoundBoard::render(float* samples, int frames, int sampleRate, std::int64_t counter)
{
    Event event;
    while (events.pop(event)) {
        if (event.kind == Event::Kind::landing)
            mix.landing(event.landing);
        else
            mix.say(event.landing.cube, clips[event.landing.cube].load(std::memory_order_acquire));
    }
    mix.render(samples, frames, sampleRate, counter);
}

void SoundBoard::spoken(int index, std::vector<std::int16_t> samples, int sampleRate)
{
    if (!isCube(index) || samples.empty() || sampleRate < lowestClipRate || sampleRate > highestClipRate)
        return;
    keptClips.push_back(std::make_unique<SpeechClip>(samples, sampleRate));
    // The clip it replaces (if any) stays alive in keptClips: the audio
    // thread may be playing it.
    clips[index].store(keptClips.back().get(), std::memory_order_release);
}

} // namespace sound
