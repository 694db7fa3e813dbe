// The mix of strikes and names, placed sample by sample (see Mixer.h).
#include "sound/Mixer.h"

#include "sound/Tuning.h"

#include <algorithm>
#include <cmath>

namespace sound {

namespace {

// Sample rates a device may sensibly ask for; anything else gets silence.
constexpr int lowestRate = 1000;
constexpr int highestRate = 768000;

} // namespace

Mixer::Mixer(int voiceCap) : voices(static_cast<std::size_t>(std::max(voiceCap, 1))) {}

void Mixer::landing(const Landing& landing)
{
    if (scheduled == scheduleCapacity) {
        ++landingsDropped;
        return;
    }
    schedule[scheduled++] = landing;
}

void Mixer::say(int cube, const SpeechClip* clip)
{
    speaker.say(cube, clip);
}

int Mixer::activeVoices() const
{
    return static_cast<int>(std::count_if(voices.begin(), voices.end(), [](const Strike& v) { return v.isActive(); }));
}

bool Mixer::isSounding(int cube) const
{
    return std::any_of(voices.begin(), voices.end(),
                       [cube](const Strike& v) { return v.isActive() && !v.isFading() && v.cube() == cube; });
}

void Mixer::strike(const Landing& landing)
{
    const double peak = Tuning::loudness(landing.cube, landing.speed);
    if (!(peak > 0.0))
        return;
    // One voice a cube: its ringing strike fades under the new one. Landings
    // found together (after a stall) must not pile up either: a strike not
    // heard yet, or one already fading, gives way at once.
    for (Strike& voice : voices) {
        if (!voice.isActive() || voice.cube() != landing.cube)
            continue;
        if (voice.isFading() || !voice.isHeard())
            voice.stop();
        else
            voice.fadeOut();
    }

    Strike* chosen = nullptr;
    for (Strike& voice : voices) {
        if (!voice.isActive()) {
            chosen = &voice;
            break;
        }
    }
    if (chosen == nullptr) {
        // All busy: the quietest goes, unless the newcomer is quieter still.
        Strike* quietest = &voices.front();
        for (Strike& voice : voices)
            if (voice.level() < quietest->level())
                quietest = &voice;
        if (quietest->level() >= peak) {
            ++strikesDropped;
            return;
        }
        chosen = quietest;
    }
    float left = 0.0f, right = 0.0f;
    Tuning::pan(landing.cube, left, right);
    chosen->start(landing.cube, Tuning::frequency(landing.cube), peak, left, right, rate);
}

void Mixer::mixSegment(float* samples, int frames)
{
    if (frames <= 0)
        return;
    for (Strike& voice : voices)
        voice.mixInto(samples, frames);
    speaker.mixInto(samples, frames, rate);
}

void Mixer::render(float* samples, int frames, int sampleRate, std::int64_t counter)
{
    if (samples == nullptr || frames <= 0)
        return;
    std::fill(samples, samples + 2 * static_cast<std::ptrdiff_t>(frames), 0.0f);
    if (sampleRate < lowestRate || sampleRate > highestRate)
        return;
    if (sampleRate != rate) {
        rate = sampleRate;
        for (Strike& voice : voices)
            voice.retune(rate);
        limiter.configure(rate);
    }

    // Where in this buffer each landing starts; before it means at once.
    const double perSecond = static_cast<double>(rate);
    int current = 0;
    for (int k = 0; k < scheduled; ++k) {
        const Landing& landing = schedule[k];
        const double ahead = static_cast<double>(landing.counter - counter) /
                                 static_cast<double>(std::max<std::int64_t>(landing.frequency, 1)) +
                             schedulingDelay;
        if (ahead < -stalest) {
            ++landingsDropped;
            continue;
        }
        double frame = std::round(ahead * perSecond) - static_cast<double>(latencyFrames());
        if (!(frame > 0.0) || ahead > furthestAhead + schedulingDelay)
            frame = 0.0;
        schedule[current] = landing;
        startFrame[current] = static_cast<std::int64_t>(std::min(frame, 1e12));
        ++current;
    }
    scheduled = current;

    int done = 0;
    while (done < frames) {
        std::int64_t next = frames;
        for (int k = 0; k < scheduled; ++k)
            next = std::min(next, startFrame[k]);
        const int until = static_cast<int>(next);
        mixSegment(samples + 2 * done, until - done);
        done = until;
        if (done >= frames)
            break;
        // Start what is due here, in the order it came, and keep the rest.
        int kept = 0;
        for (int k = 0; k < scheduled; ++k) {
            if (startFrame[k] <= done) {
                strike(schedule[k]);
            } else {
                schedule[kept] = schedule[k];
                startFrame[kept] = startFrame[k];
                ++kept;
            }
        }
        scheduled = kept;
    }

    limiter.process(samples, frames);
    for (int k = 0; k < 2 * frames; ++k) {
        const float value = samples[k];
        samples[k] = std::isfinite(value) ? std::clamp(value, -1.0f, 1.0f) : 0.0f;
    }
}

} // namespace sound
