// The mix as the device receives it, rendered on a counter of the test's own:
// strikes start on the sample their landing asks for, sound as loud as the
// landing was fast, on the cube's side and in the cube's note; forty at once
// stay under the ceiling, a full set of voices gives up its quietest, and the
// pitch survives a change of the device's rate.
#include "sound/Mixer.h"
#include "sound/Tuning.h"
#include "tests/sound/Listening.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using listening::landingAt;
using listening::Recording;

namespace {

constexpr int rate = 48000;
constexpr int delayFrames = 1200; // 25 ms at 48 kHz

Recording single(int cube, double speed, double seconds = 0.5)
{
    sound::Mixer mixer;
    mixer.landing(landingAt(cube, speed, 0));
    Recording recording;
    listening::render(mixer, recording, seconds);
    return recording;
}

} // namespace

TEST(MixerTiming, AStrikeStartsOnTheSampleItsMomentAsks)
{
    // Stamped at the buffer's counter: the scheduling delay later, exactly.
    Recording onTime = single(10, 7.0);
    EXPECT_EQ(onTime.firstSound(), delayFrames);

    // Stamped 10 ms before the counter of the first buffer: 10 ms sooner,
    // whatever the size of the buffers.
    for (int buffer : {64, 256, 441, 1024}) {
        sound::Mixer mixer;
        mixer.landing(landingAt(10, 7.0, -10000));
        Recording recording;
        listening::render(mixer, recording, 0.1, buffer);
        EXPECT_EQ(recording.firstSound(), delayFrames - 480) << buffer;
    }

    // Two landings of one cube 100 ms apart on the motion's clock sound
    // 100 ms apart, though both were handed over at once.
    sound::Mixer mixer;
    mixer.landing(landingAt(10, 7.0, 0));
    mixer.landing(landingAt(20, 7.0, 100000));
    Recording pair;
    listening::render(mixer, pair, 0.3);
    EXPECT_EQ(pair.firstSound(), delayFrames);
    const int second = delayFrames + 4800;
    Recording alone = single(10, 7.0, 0.3);
    for (int frame = 0; frame < second; ++frame)
        ASSERT_EQ(pair.left(frame), alone.left(frame)) << frame;
    EXPECT_NE(pair.left(second), alone.left(second));
}

TEST(MixerTiming, ALateLandingPlaysAtOnce)
{
    sound::Mixer mixer;
    mixer.landing(landingAt(10, 7.0, -200000)); // found 200 ms late
    Recording recording;
    listening::render(mixer, recording, 0.1);
    EXPECT_EQ(recording.firstSound(), mixer.latencyFrames());

    // Found a second late (a device that started late, a stalled game):
    // dropped, and counted.
    sound::Mixer stale;
    stale.landing(landingAt(10, 7.0, -listening::ticks));
    Recording nothing;
    listening::render(stale, nothing, 0.1);
    EXPECT_EQ(nothing.firstSound(), -1);
    EXPECT_EQ(stale.droppedLandings(), 1u);

    // A counter far ahead of the buffer's (a clock gone astray) is not held.
    sound::Mixer astray;
    astray.landing(landingAt(10, 7.0, 3600 * listening::ticks));
    Recording heard;
    listening::render(astray, heard, 0.1);
    EXPECT_EQ(heard.firstSound(), astray.latencyFrames());
}

TEST(MixerLoudness, FollowsTheLandingSpeedAndStaysQuiet)
{
    // The bounces of a throw at 7.0: each quieter than the one before, the
    // last about a twelfth of the first.
    double speed = 7.0;
    float previous = 1.0f;
    const float first = single(10, 7.0).peak();
    float last = 0.0f;
    for (int bounce = 0; bounce < 12; ++bounce) {
        last = single(10, speed).peak();
        EXPECT_LT(last, previous) << bounce;
        previous = last;
        speed = static_cast<float>(speed * 0.8);
    }
    EXPECT_NEAR(first / last, 7.0 / 0.6, 0.5);

    // The loudest landing of any cube peaks near -12 dBFS, none above it.
    float loudest = 0.0f;
    for (int cube = 0; cube < 40; ++cube)
        loudest = std::max(loudest, single(cube, 7.0, 0.2).peak());
    EXPECT_LE(loudest, 0.25f);
    EXPECT_GE(20.0 * std::log10(loudest), -15.0);

    // Nothing for a landing without speed, or of a cube that is not there.
    for (double none : {0.0, -1.0, std::nan("")})
        EXPECT_EQ(single(10, none, 0.1).firstSound(), -1) << none;
}

TEST(MixerBalance, EachColumnOnItsSide)
{
    // Column 0 ("A", left as the child sees it) to column 7 ("H"): the left
    // share of the energy falls from well over half to well under.
    double previousShare = 1.0;
    for (int column = 0; column < 8; ++column) {
        const Recording recording = single(16 + column, 7.0);
        const double left = recording.energy(0), right = recording.energy(1);
        const double share = left / (left + right);
        EXPECT_LT(share, previousShare) << column;
        previousShare = share;
        if (column == 0) {
            EXPECT_GT(share, 0.85);
        } else if (column == 7) {
            EXPECT_LT(share, 0.15);
        } else if (column == 3 || column == 4) {
            EXPECT_NEAR(share, 0.5, 0.15) << column;
        }
        // Never on one side only.
        EXPECT_GT(std::min(left, right), 0.0) << column;
    }
}

TEST(MixerPitch, FortyDistinctNotesOfThePentatonicScaleRisingUpTheGrid)
{
    // At 22050 Hz a half-second window holds the lowest note's cycles.
    std::set<long> heard;
    std::array<double, 40> notes{};
    for (int cube = 0; cube < 40; ++cube) {
        sound::Mixer mixer;
        mixer.landing(landingAt(cube, 7.0, -100000));
        Recording recording;
        recording.rate = 22050;
        listening::render(mixer, recording, 0.6);
        notes[cube] = listening::heardSemitones(recording.mono(recording.firstSound(), 11025), 22050);
        const long semitone = std::lround(notes[cube]);
        EXPECT_NEAR(notes[cube], static_cast<double>(semitone), 0.15) << "cube " << cube << " is out of tune";
        const long degree = ((semitone % 12) + 12) % 12;
        EXPECT_TRUE(degree == 0 || degree == 2 || degree == 4 || degree == 7 || degree == 9)
            << "cube " << cube << " sounds " << notes[cube] << " semitones above C1";
        heard.insert(semitone);
    }
    EXPECT_EQ(heard.size(), 40u);
    // Every row lies above the row below it: the bottom row lowest, the top highest.
    for (int row = 0; row + 1 < 5; ++row) {
        const double lowestOfRow = *std::min_element(notes.begin() + 8 * row, notes.begin() + 8 * row + 8);
        const double highestBelow = *std::max_element(notes.begin() + 8 * row + 8, notes.begin() + 8 * row + 16);
        EXPECT_GT(lowestOfRow, highestBelow) << "row " << row;
    }
}

TEST(MixerPitch, ARateChangeBetweenBuffersKeepsTheNote)
{
    for (int cube : {12, 27}) {
        sound::Mixer mixer;
        mixer.landing(landingAt(cube, 7.0, -100000));
        Recording before;
        before.rate = 48000;
        listening::render(mixer, before, 0.05);
        Recording after;
        after.rate = 22050; // the device reopened at another rate
        listening::render(mixer, after, 0.5, 256, 50000);
        ASSERT_GT(after.peak(), 0.0f) << cube;
        const double note = listening::heardSemitones(after.mono(0, 11025), 22050);
        EXPECT_NEAR(note, sound::Tuning::semitones(cube), 0.15) << cube;
    }
}

TEST(MixerCrowd, FortyAtOnceNeverClipAndStayWithinTwiceOneLanding)
{
    float single7 = 0.0f;
    for (int cube = 0; cube < 40; ++cube)
        single7 = std::max(single7, single(cube, 7.0, 0.2).peak());

    // The space bar: forty at once, then again while they still ring, and a
    // wave of quieter ones.
    sound::Mixer mixer;
    for (int wave = 0; wave < 3; ++wave)
        for (int cube = 0; cube < 40; ++cube)
            mixer.landing(landingAt(cube, wave == 2 ? 2.0 : 7.0, wave * 150000));
    Recording crowd;
    listening::render(mixer, crowd, 1.0);
    EXPECT_LE(crowd.peak(), sound::Mixer::ceiling);
    EXPECT_LE(crowd.peak(), 2.0f * sound::Tuning::landingPeak);
    EXPECT_LE(crowd.peak() / single7, 2.3f);
    // Full: louder than one landing.
    const Recording one = single(20, 7.0, 1.0);
    EXPECT_GT(crowd.energy(0, delayFrames, delayFrames + 4800), 4.0 * one.energy(0, delayFrames, delayFrames + 4800));
    EXPECT_EQ(mixer.droppedStrikes(), 0u);
}

TEST(MixerVoices, AFullSetGivesUpItsQuietest)
{
    sound::Mixer mixer(4);
    // Stamped a little late: each starts with the next buffer.
    constexpr std::int64_t past = -100000;
    mixer.landing(landingAt(0, 7.0, past));
    mixer.landing(landingAt(1, 5.0, past));
    mixer.landing(landingAt(2, 3.0, past));
    mixer.landing(landingAt(3, 1.0, past));
    Recording recording;
    listening::render(mixer, recording, 0.01);
    EXPECT_EQ(mixer.activeVoices(), 4);

    // Louder than the quietest: cube 3 makes way.
    mixer.landing(landingAt(4, 6.0, past));
    listening::render(mixer, recording, 0.01, 256, 0);
    EXPECT_TRUE(mixer.isSounding(4));
    EXPECT_FALSE(mixer.isSounding(3));
    EXPECT_TRUE(mixer.isSounding(0) && mixer.isSounding(1) && mixer.isSounding(2));
    EXPECT_EQ(mixer.droppedStrikes(), 0u);

    // Quieter than all that sound: it is the one dropped.
    mixer.landing(landingAt(5, 0.6, past));
    listening::render(mixer, recording, 0.01, 256, 0);
    EXPECT_FALSE(mixer.isSounding(5));
    EXPECT_EQ(mixer.droppedStrikes(), 1u);
    EXPECT_EQ(mixer.activeVoices(), 4);
}

TEST(MixerVoices, ACubesNextLandingRestartsItsOwnToneWithoutAClick)
{
    // A low note, whose own steps from sample to sample are small.
    constexpr int cube = 34;
    sound::Mixer mixer;
    for (int bounce = 0; bounce < 5; ++bounce)
        mixer.landing(landingAt(cube, 7.0, bounce * 20000));
    Recording recording;
    listening::render(mixer, recording, 0.3);
    // One strike rings and at most one fades: no pile-up.
    EXPECT_LE(mixer.activeVoices(), 2);
    EXPECT_TRUE(mixer.isSounding(cube));
    // Restarting keeps the level of one fresh strike, neither doubled nor
    // cancelled...
    const Recording fresh = single(cube, 7.0, 0.3);
    EXPECT_LE(recording.peak(), fresh.peak() * 1.2f);
    const int lastStart = delayFrames + 4 * 960;
    EXPECT_GT(recording.peak(lastStart, lastStart + 4800), fresh.peak() * 0.8f);
    // ...and moves from sample to sample no further than a fresh strike's
    // own steepest step (a cut-off strike would jump).
    float steepest = 0.0f, steepestFresh = 0.0f;
    for (int frame = 1; frame < recording.frames(); ++frame) {
        steepest = std::max(steepest, std::fabs(recording.left(frame) - recording.left(frame - 1)));
        steepestFresh = std::max(steepestFresh, std::fabs(fresh.left(frame) - fresh.left(frame - 1)));
    }
    EXPECT_LE(steepest, steepestFresh * 1.6f);

    // Twelve landings found at once (a stalled frame) and a burst 1 ms
    // apart: no louder than one.
    for (std::int64_t apart : {0, 1000}) {
        sound::Mixer burst;
        for (int bounce = 0; bounce < 12; ++bounce)
            burst.landing(landingAt(cube, 7.0, bounce * apart));
        Recording heard;
        listening::render(burst, heard, 0.3);
        EXPECT_LE(heard.peak(), fresh.peak() * (apart == 0 ? 1.0f : 1.2f)) << apart;
        EXPECT_LE(burst.activeVoices(), 2) << apart;
    }
}
