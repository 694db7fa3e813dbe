// Spoken names in the mix: brought to the landings' level, resampled to the
// device's rate at their own pitch, cut by the next name, never restarted by
// a held key, and nothing at all before a clip has arrived.
#include "sound/Mixer.h"
#include "sound/SpeechClip.h"
#include "tests/sound/Listening.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

using listening::Recording;

namespace {

// A clip of a steady tone, as the speech maker delivers one; it starts at
// its peak, or at 0 for a clip that must not click where it begins.
sound::SpeechClip toneClip(double frequency, double seconds, int rate = 22050, double amplitude = 12000.0,
                           double phase = 0.0)
{
    const int count = static_cast<int>(seconds * rate);
    std::vector<std::int16_t> samples;
    samples.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k)
        samples.push_back(static_cast<std::int16_t>(
            std::lround(amplitude * std::cos(2.0 * 3.14159265358979323846 * frequency * k / rate - phase))));
    return sound::SpeechClip(samples, rate);
}

double semitonesOf(double frequency)
{
    return 12.0 * std::log2(frequency / 32.703195662574829);
}

} // namespace

TEST(SpeechClipLevel, PeaksAtTheLoudestLandingsLevel)
{
    EXPECT_EQ(toneClip(440.0, 0.1).samples.size(), 2205u);
    for (double amplitude : {32767.0, 12000.0, 3000.0}) {
        const sound::SpeechClip clip = toneClip(440.0, 0.1, 22050, amplitude);
        float peak = 0.0f;
        for (float sample : clip.samples)
            peak = std::max(peak, std::fabs(sample));
        EXPECT_NEAR(peak, sound::SpeechClip::peak, 0.001f) << amplitude;
    }
    // Near silence is not raised to full loudness.
    const sound::SpeechClip hiss = toneClip(440.0, 0.1, 22050, 20.0);
    float peak = 0.0f;
    for (float sample : hiss.samples)
        peak = std::max(peak, std::fabs(sample));
    EXPECT_LT(peak, 0.02f);
}

TEST(SpeechPlayback, PlaysAtOnceAtItsOwnPitchAtAnyRate)
{
    const sound::SpeechClip clip = toneClip(440.0, 0.5);
    for (int rate : {22050, 44100, 48000, 96000}) {
        sound::Mixer mixer;
        mixer.say(3, &clip);
        Recording recording;
        recording.rate = rate;
        listening::render(mixer, recording, 0.6);
        EXPECT_EQ(recording.firstSound(), mixer.latencyFrames()) << rate;
        const double note = listening::heardSemitones(recording.mono(mixer.latencyFrames(), rate / 4), rate);
        EXPECT_NEAR(note, semitonesOf(440.0), 0.1) << rate;
        // As long as the clip, and in the middle.
        EXPECT_NEAR(recording.energy(0), recording.energy(1), 1e-6 * recording.energy(0));
        int lastSound = 0;
        for (int frame = 0; frame < recording.frames(); ++frame)
            if (recording.left(frame) != 0.0f)
                lastSound = frame;
        EXPECT_NEAR(lastSound, mixer.latencyFrames() + 0.5 * rate, rate / 22050.0 + 2.0) << rate;
        EXPECT_FALSE(mixer.speech().isSpeaking());
    }

    // The device reopened at another rate half-way: the name goes on at its pitch.
    sound::Mixer mixer;
    mixer.say(3, &clip);
    Recording first;
    listening::render(mixer, first, 0.1);
    Recording second;
    second.rate = 44100;
    listening::render(mixer, second, 0.3, 256, 100000);
    EXPECT_NEAR(listening::heardSemitones(second.mono(0, 11025), 44100), semitonesOf(440.0), 0.1);
}

TEST(SpeechPlayback, ANewNameCutsTheOldAndAHeldKeyDoesNotRestartIt)
{
    const sound::SpeechClip first = toneClip(440.0, 0.5);
    const sound::SpeechClip second = toneClip(660.0, 0.5, 22050, 12000.0, 3.14159265358979323846 / 2.0);

    // Said, then repeated 100 ms in as a held key repeats: one unbroken name,
    // the same as said once.
    sound::Mixer once;
    once.say(1, &first);
    Recording reference;
    listening::render(once, reference, 0.4);
    sound::Mixer held;
    held.say(1, &first);
    Recording repeated;
    listening::render(held, repeated, 0.1);
    for (int repeat = 0; repeat < 5; ++repeat) {
        held.say(1, &first);
        listening::render(held, repeated, 0.06, 256, 0);
    }
    ASSERT_EQ(repeated.frames(), reference.frames());
    for (int frame = 0; frame < reference.frames(); ++frame)
        ASSERT_EQ(repeated.left(frame), reference.left(frame)) << frame;

    // Another cube's name cuts in: after a short fade only the new name
    // sounds, from its start.
    sound::Mixer cut;
    cut.say(1, &first);
    Recording recording;
    listening::render(cut, recording, 0.1);
    cut.say(2, &second);
    EXPECT_EQ(cut.speech().speakingCube(), 2);
    Recording after;
    listening::render(cut, after, 0.3, 256, 0);
    sound::Mixer alone;
    alone.say(2, &second);
    Recording secondAlone;
    listening::render(alone, secondAlone, 0.3);
    const int faded = static_cast<int>(sound::SpeechPlayer::fadeSeconds * 48000) + cut.latencyFrames() + 2;
    for (int frame = faded; frame < after.frames(); ++frame)
        ASSERT_NEAR(after.left(frame), secondAlone.left(frame), 1e-6f) << frame;
    // No click where it cuts: the old name fades out.
    float steepest = 0.0f;
    for (int frame = 1; frame < faded + 10; ++frame)
        steepest = std::max(steepest, std::fabs(after.left(frame) - after.left(frame - 1)));
    EXPECT_LT(steepest, 0.1f);

    // Once a name has ended, the same key says it again.
    sound::Mixer again;
    again.say(1, &first);
    Recording whole;
    listening::render(again, whole, 0.6);
    again.say(1, &first);
    Recording more;
    listening::render(again, more, 0.1, 256, 0);
    EXPECT_GT(more.peak(), 0.2f);
}

TEST(SpeechPlayback, NoClipNoName)
{
    const sound::SpeechClip clip = toneClip(440.0, 0.5);
    sound::Mixer mixer;
    mixer.say(4, nullptr);
    Recording silent;
    listening::render(mixer, silent, 0.1);
    EXPECT_EQ(silent.firstSound(), -1);
    // Nor does a cube without a clip cut the name being said.
    mixer.say(1, &clip);
    mixer.say(4, nullptr);
    EXPECT_EQ(mixer.speech().speakingCube(), 1);
    const std::vector<std::int16_t> none;
    const sound::SpeechClip empty(none, 22050);
    mixer.say(5, &empty);
    EXPECT_EQ(mixer.speech().speakingCube(), 1);
}
