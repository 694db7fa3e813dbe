// Reads recorded sound (WAV, or raw interleaved s16/f32) and finds what the
// whole-program sound tests check: where sounds start, how loud each is, on
// which side, at what pitch, and whether any sample reached full scale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct Recording {
    int sampleRate = 0;
    // Stereo, in [-1, 1]; a mono recording has the same samples on both sides.
    std::vector<float> left;
    std::vector<float> right;
    // Samples that sat at full scale (s16: -32768 or 32767, s32 alike; f32:
    // |x| >= 1).
    std::size_t clipped = 0;

    std::size_t frames() const { return left.size(); }
    double seconds() const { return sampleRate > 0 ? static_cast<double>(frames()) / sampleRate : 0.0; }
};

enum class SampleFormat { s16, s32, f32 };

// Interleaved samples of `channels` (1 or 2) channels, no header. A partial
// last frame is dropped.
Recording decodeRaw(const std::vector<std::uint8_t>& bytes, SampleFormat format, int sampleRate, int channels);

// A RIFF WAVE file of 16- or 32-bit PCM or 32-bit float, mono or stereo. A data chunk
// whose size is 0 or runs past the end (a recorder still recording, or
// stopped hard) is read to the end.
// Sets `error` and returns an empty recording when the file cannot be used.
Recording decodeWav(const std::vector<std::uint8_t>& bytes, std::string& error);

struct OnsetOptions {
    // Below this level (peak of a window, full scale 1) is silence.
    double threshold = 0.003;
    // A window whose change between samples is at least this many times the
    // most of those within lookBack before it starts a new sound, even over
    // the tail of an earlier one. A strike renews its upper partials, so it
    // is found even where its fundamental is no louder than the ring it falls
    // on; but not always where the ring's own partials outdo it (the lowest
    // notes, struck again soon).
    double rise = 1.3;
    // Two onsets closer than this are one.
    double minimumGap = 0.05;
    // The analysis window: at least half a period of the lowest tone, so
    // that each window holds a peak of it.
    double window = 0.01;
    // How far back a rise is measured from.
    double lookBack = 0.015;
};

struct Onset {
    double time = 0.0;    // seconds from the start of the recording
    double peak = 0.0;    // loudest sample until the next onset (at most half a second)
    double leftRms = 0.0; // over the same stretch
    double rightRms = 0.0;
    double frequency = 0.0; // the strongest frequency just after the onset, Hz
};

std::vector<Onset> findOnsets(const Recording& recording, const OnsetOptions& options = {});

// The strongest frequency between 40 Hz and 12 kHz of the stereo sum over
// [first, first + count) frames, to about 1 Hz.
double dominantFrequency(const Recording& recording, std::size_t first, std::size_t count);

struct Summary {
    double peak = 0.0;
    double leftRms = 0.0;
    double rightRms = 0.0;
};

Summary summarize(const Recording& recording);

} // namespace testing_support
