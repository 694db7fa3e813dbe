// The quiet tail the synthesizer leaves after a name is cut, without a click
// and without touching the voice.
#include "platform/espeak/ClipTrim.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using platform::trimTrailingSilence;

namespace {

constexpr int rate = 22050;

std::vector<std::int16_t> toneThenQuiet(std::size_t toneSamples, std::size_t quietSamples, std::int16_t quiet)
{
    std::vector<std::int16_t> samples;
    for (std::size_t i = 0; i < toneSamples; ++i)
        samples.push_back(static_cast<std::int16_t>(std::lround(8000.0 * std::sin(0.3 * static_cast<double>(i)))));
    for (std::size_t i = 0; i < quietSamples; ++i)
        samples.push_back(static_cast<std::int16_t>(i % 2 == 0 ? quiet : -quiet));
    return samples;
}

} // namespace

TEST(ClipTrim, CutsTheQuietTailKeepingTheVoiceAndAShortFade)
{
    // 100 ms of silence with a little noise after 200 ms of voice.
    std::vector<std::int16_t> samples = toneThenQuiet(4410, 2205, 50);
    const std::vector<std::int16_t> original = samples;
    trimTrailingSilence(samples, rate);
    ASSERT_GE(samples.size(), 4400u);
    EXPECT_LE(samples.size(), 4410u + 221u);
    // The voice itself is untouched, up to its last loud sample.
    std::size_t lastLoud = 0;
    for (std::size_t i = 0; i < 4410; ++i)
        if (std::abs(original[i]) >= 328)
            lastLoud = i;
    for (std::size_t i = 0; i <= lastLoud; ++i)
        ASSERT_EQ(samples[i], original[i]) << i;
    // And what is kept after it fades toward zero.
    EXPECT_LE(std::abs(samples.back()), 50);
}

TEST(ClipTrim, LeavesAClipThatEndsLoudAndEmptiesASilentOne)
{
    std::vector<std::int16_t> loud(1000, 5000);
    trimTrailingSilence(loud, rate);
    EXPECT_EQ(loud, std::vector<std::int16_t>(1000, 5000));

    std::vector<std::int16_t> silent(3000, 20);
    trimTrailingSilence(silent, rate);
    EXPECT_TRUE(silent.empty());

    std::vector<std::int16_t> none;
    trimTrailingSilence(none, rate);
    EXPECT_TRUE(none.empty());
}
