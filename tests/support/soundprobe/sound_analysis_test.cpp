// The recording analysis the sound tests rely on, run on synthetic signals
// whose onsets, pitches and sides are known: a fault here would let a broken
// mixer pass or fail a sound one.
#include "tests/support/fixtures/SoundAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

using namespace testing_support;

namespace {

constexpr int rate = 48000;

Recording silence(double seconds)
{
    Recording recording;
    recording.sampleRate = rate;
    recording.left.assign(static_cast<std::size_t>(seconds * rate), 0.0f);
    recording.right = recording.left;
    return recording;
}

// A struck bar: instant attack, a fundamental and a weaker upper partial that
// dies faster, panned by its two gains.
void strike(Recording& recording, double start, double hz, double amplitude, double decay, double leftGain = 1.0,
            double rightGain = 1.0)
{
    const auto first = static_cast<std::size_t>(start * rate);
    for (std::size_t i = first; i < recording.frames(); ++i) {
        const double t = static_cast<double>(i - first) / rate;
        const double x = amplitude / 1.3 *
                         (std::exp(-t / decay) * std::sin(2.0 * std::numbers::pi * hz * t) +
                          0.3 * std::exp(-t * 2.25 / decay) * std::sin(2.0 * std::numbers::pi * 2.756 * hz * t));
        recording.left[i] += static_cast<float>(x * leftGain);
        recording.right[i] += static_cast<float>(x * rightGain);
    }
}

// Fades whatever sounds from `start` out within two milliseconds, as a voice
// restarted for its next strike.
void cut(Recording& recording, double start)
{
    const auto first = static_cast<std::size_t>(start * rate);
    const std::size_t fade = rate / 500;
    for (std::size_t i = first; i < recording.frames(); ++i) {
        const float gain = i - first < fade ? 1.0f - static_cast<float>(i - first) / fade : 0.0f;
        recording.left[i] *= gain;
        recording.right[i] *= gain;
    }
}

std::vector<std::uint8_t> s16Bytes(std::initializer_list<int> samples)
{
    std::vector<std::uint8_t> bytes;
    for (const int s : samples) {
        const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(s));
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    return bytes;
}

void put32(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

void put16(std::vector<std::uint8_t>& bytes, unsigned value)
{
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

// A WAV header with format `tag` (1 PCM, 3 float, 0xFFFE extensible over
// `subTag`), and `data` after it whose declared size is `declared`.
std::vector<std::uint8_t> wav(unsigned tag, unsigned bits, int channels, const std::vector<std::uint8_t>& data,
                              std::uint32_t declared, unsigned subTag = 0)
{
    std::vector<std::uint8_t> bytes{'R', 'I', 'F', 'F'};
    put32(bytes, 0);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(bytes, tag == 0xFFFE ? 40 : 16);
    put16(bytes, tag);
    put16(bytes, static_cast<unsigned>(channels));
    put32(bytes, rate);
    put32(bytes, static_cast<std::uint32_t>(rate * channels * static_cast<int>(bits) / 8));
    put16(bytes, static_cast<unsigned>(channels) * bits / 8);
    put16(bytes, bits);
    if (tag == 0xFFFE) {
        put16(bytes, 22);
        put16(bytes, bits);
        put32(bytes, 3);
        put16(bytes, subTag);
        bytes.insert(bytes.end(), 14, 0);
    }
    // A chunk a reader must step over.
    bytes.insert(bytes.end(), {'L', 'I', 'S', 'T'});
    put32(bytes, 3);
    bytes.insert(bytes.end(), {'a', 'b', 'c', 0});
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    put32(bytes, declared);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

} // namespace

TEST(SoundAnalysis, FindsTonesAfterSilenceWithTheirPitch)
{
    Recording recording = silence(2.0);
    strike(recording, 0.2, 440.0, 0.5, 0.1);
    strike(recording, 0.9, 660.0, 0.3, 0.1);
    strike(recording, 1.5, 1046.5, 0.1, 0.1);
    const auto onsets = findOnsets(recording);
    ASSERT_EQ(onsets.size(), 3u);
    const double times[] = {0.2, 0.9, 1.5}, pitches[] = {440.0, 660.0, 1046.5}, peaks[] = {0.5, 0.3, 0.1};
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(onsets[k].time, times[k], 0.002) << k;
        EXPECT_NEAR(onsets[k].frequency, pitches[k], pitches[k] * 0.01) << k;
        EXPECT_NEAR(onsets[k].peak, peaks[k], peaks[k] * 0.1) << k;
    }
}

// The bounces of a thrown cube: intervals shrinking by 0.8 down to about a
// tenth of a second, each strike quieter by 0.8 and restarting the voice
// while the one before still sounds.
TEST(SoundAnalysis, FindsEveryRestartOfOneVoice)
{
    Recording recording = silence(7.0);
    std::vector<double> times;
    double t = 0.3, interval = 1.346, amplitude = 0.6;
    for (int k = 0; k < 12; ++k) {
        times.push_back(t);
        cut(recording, t);
        strike(recording, t + 0.002, 523.25, amplitude, 0.2);
        t += interval * 0.8;
        interval *= 0.8;
        amplitude *= 0.8;
    }
    const auto onsets = findOnsets(recording);
    ASSERT_EQ(onsets.size(), times.size());
    for (std::size_t k = 0; k < times.size(); ++k) {
        EXPECT_NEAR(onsets[k].time, times[k], 0.006) << k;
        EXPECT_NEAR(onsets[k].frequency, 523.25, 5.0) << k;
        if (k > 0) {
            EXPECT_NEAR(onsets[k].peak / onsets[k - 1].peak, 0.8, 0.03) << k;
        }
    }
}

// Tones of other cubes struck over the tails of earlier ones, as when keys
// follow each other quickly (each louder than what is left of the others).
TEST(SoundAnalysis, FindsTonesStruckOverOtherTails)
{
    Recording recording = silence(2.0);
    const double notes[] = {261.63, 293.66, 329.63, 392.0, 440.0, 523.25};
    for (int k = 0; k < 6; ++k)
        strike(recording, 0.1 + 0.15 * k, notes[k], 0.3, 0.1);
    const auto onsets = findOnsets(recording);
    ASSERT_EQ(onsets.size(), 6u);
    for (std::size_t k = 0; k < 6; ++k)
        EXPECT_NEAR(onsets[k].time, 0.1 + 0.15 * static_cast<double>(k), 0.006) << k;
}

TEST(SoundAnalysis, IgnoresNoiseAndSlowSwells)
{
    Recording recording = silence(2.0);
    std::uint32_t seed = 1;
    for (std::size_t i = 0; i < recording.frames(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float noise = (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f) * 0.004f;
        // A tone fading in over a second: one onset where it leaves the noise.
        const double t = static_cast<double>(i) / rate;
        const double swell = t < 0.5 ? 0.0 : std::min(1.0, t - 0.5) * 0.4 * std::sin(2.0 * std::numbers::pi * 300 * t);
        recording.left[i] = noise + static_cast<float>(swell);
        recording.right[i] = noise + static_cast<float>(swell);
    }
    const auto onsets = findOnsets(recording);
    ASSERT_EQ(onsets.size(), 1u);
    EXPECT_NEAR(onsets[0].time, 0.51, 0.02);
}

TEST(SoundAnalysis, TellsTheSidesApart)
{
    Recording recording = silence(1.5);
    strike(recording, 0.1, 440.0, 0.5, 0.05, 1.0, 0.0);
    strike(recording, 0.8, 440.0, 0.5, 0.2, 0.3, 0.9);
    const auto onsets = findOnsets(recording);
    ASSERT_EQ(onsets.size(), 2u);
    EXPECT_LT(onsets[0].rightRms, onsets[0].leftRms * 0.01);
    EXPECT_NEAR(onsets[1].rightRms / onsets[1].leftRms, 3.0, 0.05);

    Recording steady = silence(1.0);
    for (std::size_t i = 0; i < steady.frames(); ++i) {
        const auto x =
            static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * static_cast<double>(i) / rate));
        steady.left[i] = x;
        steady.right[i] = x / 2;
    }
    const Summary summary = summarize(steady);
    EXPECT_NEAR(summary.leftRms, 0.5 / std::sqrt(2.0), 0.001);
    EXPECT_NEAR(summary.rightRms, 0.25 / std::sqrt(2.0), 0.001);
    EXPECT_NEAR(summary.peak, 0.5, 0.001);
}

TEST(SoundAnalysis, CountsSamplesAtFullScale)
{
    const Recording s16 = decodeRaw(s16Bytes({0, 32767, -32768, 32766, -32767, 100}), SampleFormat::s16, rate, 2);
    EXPECT_EQ(s16.frames(), 3u);
    EXPECT_EQ(s16.clipped, 2u);
    EXPECT_FLOAT_EQ(s16.right[0], 1.0f * 32767 / 32768);

    const std::int32_t ints[] = {INT32_MAX, INT32_MIN, 1 << 30, -(1 << 29)};
    std::vector<std::uint8_t> intBytes(sizeof ints);
    std::memcpy(intBytes.data(), ints, sizeof ints);
    const Recording s32 = decodeRaw(intBytes, SampleFormat::s32, rate, 2);
    EXPECT_EQ(s32.clipped, 2u);
    EXPECT_FLOAT_EQ(s32.left[1], 0.5f);
    EXPECT_FLOAT_EQ(s32.right[1], -0.25f);

    const float floats[] = {0.5f, 1.0f, -1.5f, 0.999f, NAN, -0.25f, 0.1f};
    std::vector<std::uint8_t> bytes(sizeof floats);
    std::memcpy(bytes.data(), floats, sizeof floats);
    const Recording f32 = decodeRaw(bytes, SampleFormat::f32, rate, 2);
    EXPECT_EQ(f32.frames(), 3u) << "the partial last frame is dropped";
    EXPECT_EQ(f32.clipped, 3u);
    EXPECT_FLOAT_EQ(f32.right[0], 1.0f);
    EXPECT_FLOAT_EQ(f32.left[2], 0.0f) << "a sample that is no number is counted and silenced";
}

TEST(SoundAnalysis, ReadsMonoOnBothSides)
{
    const Recording mono = decodeRaw(s16Bytes({16384, -16384}), SampleFormat::s16, 22050, 1);
    ASSERT_EQ(mono.frames(), 2u);
    EXPECT_FLOAT_EQ(mono.left[0], 0.5f);
    EXPECT_FLOAT_EQ(mono.right[1], -0.5f);
    EXPECT_EQ(mono.sampleRate, 22050);
}

TEST(SoundAnalysis, ReadsWavFilesAsRecordersWriteThem)
{
    const std::vector<std::uint8_t> pcm = s16Bytes({1000, -1000, 32767, 0});
    std::string error;
    Recording recording = decodeWav(wav(1, 16, 2, pcm, 8), error);
    EXPECT_EQ(error, "");
    ASSERT_EQ(recording.frames(), 2u);
    EXPECT_EQ(recording.clipped, 1u);
    EXPECT_FLOAT_EQ(recording.right[0], -1000.0f / 32768);

    // Float samples behind an extensible header.
    const float floats[] = {0.25f, -0.75f};
    std::vector<std::uint8_t> bytes(sizeof floats);
    std::memcpy(bytes.data(), floats, sizeof floats);
    recording = decodeWav(wav(0xFFFE, 32, 2, bytes, 8, 3), error);
    EXPECT_EQ(error, "");
    ASSERT_EQ(recording.frames(), 1u);
    EXPECT_FLOAT_EQ(recording.right[0], -0.75f);

    // A recorder stopped hard leaves a size of "as much as there is".
    recording = decodeWav(wav(1, 16, 2, pcm, 0xFFFFFFFF), error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(recording.frames(), 2u);
    // One still recording may not have written any size yet.
    recording = decodeWav(wav(1, 16, 2, pcm, 0), error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(recording.frames(), 2u);
}

TEST(SoundAnalysis, RefusesWavFilesItCannotRead)
{
    const std::vector<std::uint8_t> pcm = s16Bytes({1, 2, 3, 4});
    std::string error;
    EXPECT_EQ(decodeWav({'R', 'I', 'F', 'F'}, error).frames(), 0u);
    EXPECT_NE(error, "");

    error.clear();
    decodeWav(wav(1, 24, 2, pcm, 8), error);
    EXPECT_NE(error.find("24 bits"), std::string::npos) << error;

    error.clear();
    decodeWav(wav(1, 16, 6, pcm, 8), error);
    EXPECT_NE(error, "") << "six channels";

    // Cut off inside the format chunk.
    error.clear();
    std::vector<std::uint8_t> cut = wav(1, 16, 2, pcm, 8);
    cut.resize(30);
    decodeWav(cut, error);
    EXPECT_NE(error, "");

    // No data chunk at all.
    error.clear();
    cut = wav(1, 16, 2, {}, 0);
    cut.resize(cut.size() - 8);
    decodeWav(cut, error);
    EXPECT_EQ(error, "no data chunk");
}
