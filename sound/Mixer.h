// Everything the device hears, rendered buffer by buffer on the audio thread:
// the landings' strikes, each at the sample its moment asks for, the spoken
// names, and the limiter over their sum. It allocates only when built.
//
// Timing. A landing is stamped with the performance counter at the moment of
// the motion it happened in; render() knows the counter at the start of its
// buffer, and places the strike schedulingDelay after its moment, so that
// the strikes keep the motion's own spacing. The delay has to cover the time
// from a landing to the frame that finds it (the rest of its step plus the
// time the frame left pending: about one step on average, up to a step and a
// frame) and from there to the next buffer (up to a buffer, 5-11 ms). 25 ms
// covers most landings: modelled with buffers of 5-11 ms, 65-78 % of them at
// 60 Hz (the rest late by up to 13-19 ms), 89-98 % at 144 Hz and 94-100 % at
// 240 Hz. One found later plays at once, one found much later not at all.
// Together with
// the device's own 7-35 ms it keeps the motion-to-speaker time near the
// budget of 40 ms; a longer delay would place more landings exactly but make
// every tone later than the eye accepts.
#pragma once

#include "sound/Limiter.h"
#include "sound/SpeechPlayer.h"
#include "sound/Strike.h"

#include <array>
#include <cstdint>
#include <vector>

namespace sound {

struct Landing {
    int cube = 0;
    double speed = 0.0;
    // The moment of the landing on the performance counter, and its ticks a second.
    std::int64_t counter = 0;
    std::int64_t frequency = 1;
};

class Mixer {
public:
    static constexpr double schedulingDelay = 0.025;
    // Forty fresh strikes at once, and room for the ones they cut to fade.
    static constexpr int defaultVoiceCap = 48;
    // The sum of everything stays within twice the loudest landing.
    static constexpr float ceiling = 0.5f;
    // Landings further ahead than this are taken for a counter gone astray and
    // played at once rather than held.
    static constexpr double furthestAhead = 0.5;
    // Landings found later than this are dropped (and counted): the device
    // started or resumed long after them, or the game stalled, and a burst of
    // old strikes would belong to nothing the child sees.
    static constexpr double stalest = 0.25;
    static constexpr int scheduleCapacity = 256;

    explicit Mixer(int voiceCap = defaultVoiceCap);

    // Audio thread (or before it starts).
    void landing(const Landing& landing);
    void say(int cube, const SpeechClip* clip);
    void render(float* samples, int frames, int sampleRate, std::int64_t counter);

    // Strikes dropped by the voice cap, and landings dropped for want of room
    // in the schedule or for being too old.
    std::uint64_t droppedStrikes() const { return strikesDropped; }
    std::uint64_t droppedLandings() const { return landingsDropped; }
    int activeVoices() const;
    // Whether cube `cube` has a strike ringing (not one fading out).
    bool isSounding(int cube) const;
    const SpeechPlayer& speech() const { return speaker; }
    // Frames from a strike's start to its first sample out (the limiter's look-ahead).
    int latencyFrames() const { return limiter.delayFrames(); }

private:
    void strike(const Landing& landing);
    void mixSegment(float* samples, int frames);

    std::vector<Strike> voices;
    std::array<Landing, scheduleCapacity> schedule{};
    std::array<std::int64_t, scheduleCapacity> startFrame{};
    int scheduled = 0;
    SpeechPlayer speaker;
    Limiter limiter{ceiling};
    int rate = 0;
    std::uint64_t strikesDropped = 0;
    std::uint64_t landingsDropped = 0;
};

} // namespace sound
