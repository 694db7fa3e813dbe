// The device's mix format read as a frame layout, and the program's float
// stereo written into every layout a shared-mode device may ask for.
#include "platform/win32/Win32MixFormat.h"

#include <gtest/gtest.h>

#include <ks.h>
#include <ksmedia.h>
#include <mmreg.h>

#include <cstring>
#include <vector>

using namespace platform::win32;

namespace {

WAVEFORMATEX plain(WORD tag, int channels, int bits)
{
    WAVEFORMATEX format{};
    format.wFormatTag = tag;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = 48000;
    format.wBitsPerSample = static_cast<WORD>(bits);
    format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format.nAvgBytesPerSec = 48000u * format.nBlockAlign;
    return format;
}

WAVEFORMATEXTENSIBLE extensible(const GUID& subFormat, int channels, int bits, int validBits, DWORD mask)
{
    WAVEFORMATEXTENSIBLE format{};
    format.Format = plain(WAVE_FORMAT_EXTENSIBLE, channels, bits);
    format.Format.cbSize = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);
    format.Samples.wValidBitsPerSample = static_cast<WORD>(validBits);
    format.dwChannelMask = mask;
    format.SubFormat = subFormat;
    return format;
}

template <typename T>
std::vector<T> converted(const std::vector<float>& stereo, const MixLayout& layout)
{
    const int frames = static_cast<int>(stereo.size() / 2);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(frames * layout.bytesPerFrame), 0xAB);
    convertStereo(stereo.data(), frames, layout, bytes.data());
    std::vector<T> samples(bytes.size() / sizeof(T));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(T));
    return samples;
}

TEST(Win32MixFormat, ReadsTheFormatsDevicesShare)
{
    // Windows' usual shared format: float, stereo, extensible.
    const auto usual = extensible(KSDATAFORMAT_SUBTYPE_IEEE_FLOAT, 2, 32, 32, SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT);
    MixLayout layout = mixLayout(usual.Format);
    EXPECT_EQ(layout.encoding, SampleEncoding::Float32);
    EXPECT_EQ(layout.channels, 2);
    EXPECT_EQ(layout.bytesPerFrame, 8);
    EXPECT_EQ(layout.sampleRate, 48000);
    EXPECT_EQ(layout.left, 0);
    EXPECT_EQ(layout.right, 1);

    EXPECT_EQ(mixLayout(plain(WAVE_FORMAT_IEEE_FLOAT, 2, 32)).encoding, SampleEncoding::Float32);
    EXPECT_EQ(mixLayout(plain(WAVE_FORMAT_PCM, 2, 16)).encoding, SampleEncoding::Int16);
    EXPECT_EQ(mixLayout(plain(WAVE_FORMAT_PCM, 2, 24)).encoding, SampleEncoding::Int24);
    EXPECT_EQ(mixLayout(plain(WAVE_FORMAT_PCM, 1, 8)).encoding, SampleEncoding::UInt8);
    EXPECT_EQ(mixLayout(extensible(KSDATAFORMAT_SUBTYPE_PCM, 2, 32, 24, 3).Format).encoding, SampleEncoding::Int32);
}

TEST(Win32MixFormat, RefusesWhatItCannotWrite)
{
    EXPECT_EQ(mixLayout(plain(WAVE_FORMAT_IEEE_FLOAT, 2, 64)).encoding, SampleEncoding::Unsupported);
    EXPECT_EQ(mixLayout(plain(0x0002 /* ADPCM */, 2, 4)).encoding, SampleEncoding::Unsupported);
    EXPECT_EQ(mixLayout(plain(WAVE_FORMAT_PCM, 0, 16)).encoding, SampleEncoding::Unsupported);
    EXPECT_EQ(mixLayout(plain(WAVE_FORMAT_PCM, 2, 12)).encoding, SampleEncoding::Unsupported);
    // A frame too small for its channels would be written past its end.
    WAVEFORMATEX shortFrame = plain(WAVE_FORMAT_PCM, 2, 16);
    shortFrame.nBlockAlign = 2;
    EXPECT_EQ(mixLayout(shortFrame).encoding, SampleEncoding::Unsupported);
    // An extensible header whose extension is missing is not read past its end.
    WAVEFORMATEX truncated = plain(WAVE_FORMAT_EXTENSIBLE, 2, 32);
    EXPECT_EQ(mixLayout(truncated).encoding, SampleEncoding::Unsupported);
    EXPECT_EQ(mixLayout(extensible(KSDATAFORMAT_SUBTYPE_PCM, 2, 16, 20, 3).Format).encoding,
              SampleEncoding::Unsupported);
    const GUID other = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
    EXPECT_EQ(mixLayout(extensible(other, 2, 32, 32, 3).Format).encoding, SampleEncoding::Unsupported);
}

TEST(Win32MixFormat, MapsLeftAndRightToTheirSpeakers)
{
    // 5.1: FL FR FC LFE BL BR, in the order of the speaker bits.
    const DWORD fiveOne = SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT | SPEAKER_FRONT_CENTER | SPEAKER_LOW_FREQUENCY |
                          SPEAKER_BACK_LEFT | SPEAKER_BACK_RIGHT;
    MixLayout layout = mixLayout(extensible(KSDATAFORMAT_SUBTYPE_IEEE_FLOAT, 6, 32, 32, fiveOne).Format);
    EXPECT_EQ(layout.left, 0);
    EXPECT_EQ(layout.right, 1);
    EXPECT_EQ(layout.mono, -1);
    const auto samples = converted<float>({0.5f, -0.25f}, layout);
    EXPECT_EQ(samples, (std::vector<float>{0.5f, -0.25f, 0.0f, 0.0f, 0.0f, 0.0f}));

    // Centre and right only: the front pair is missing, both sides go to the centre.
    layout = mixLayout(
        extensible(KSDATAFORMAT_SUBTYPE_IEEE_FLOAT, 2, 32, 32, SPEAKER_FRONT_RIGHT | SPEAKER_FRONT_CENTER).Format);
    EXPECT_EQ(layout.mono, 1);
    EXPECT_EQ(converted<float>({0.5f, -0.25f}, layout), (std::vector<float>{0.0f, 0.125f}));

    // A mono device hears both sides.
    layout = mixLayout(extensible(KSDATAFORMAT_SUBTYPE_PCM, 1, 16, 16, SPEAKER_FRONT_CENTER).Format);
    EXPECT_EQ(converted<std::int16_t>({1.0f, 0.0f}, layout), (std::vector<std::int16_t>{16384}));
    layout = mixLayout(plain(WAVE_FORMAT_PCM, 1, 16));
    EXPECT_EQ(converted<std::int16_t>({0.0f, -1.0f}, layout), (std::vector<std::int16_t>{-16384}));

    // No mask at all: the first two channels, the rest silent.
    layout = mixLayout(plain(WAVE_FORMAT_IEEE_FLOAT, 4, 32));
    EXPECT_EQ(converted<float>({0.5f, 0.75f}, layout), (std::vector<float>{0.5f, 0.75f, 0.0f, 0.0f}));
}

TEST(Win32MixFormat, ScalesAndClipsIntoIntegers)
{
    const std::vector<float> stereo = {1.0f, -1.0f, 0.5f, 2.0f, -3.0f, std::numeric_limits<float>::quiet_NaN()};
    EXPECT_EQ(converted<std::int16_t>(stereo, mixLayout(plain(WAVE_FORMAT_PCM, 2, 16))),
              (std::vector<std::int16_t>{32767, -32767, 16384, 32767, -32767, 0}));
    EXPECT_EQ(converted<std::int32_t>(stereo, mixLayout(extensible(KSDATAFORMAT_SUBTYPE_PCM, 2, 32, 24, 3).Format)),
              (std::vector<std::int32_t>{2147483647, -2147483647, 1073741824, 2147483647, -2147483647, 0}));
    EXPECT_EQ(converted<std::uint8_t>({0.0f, 1.0f, -1.0f, 0.5f}, mixLayout(plain(WAVE_FORMAT_PCM, 2, 8))),
              (std::vector<std::uint8_t>{128, 255, 1, 192}));
    // Packed 24-bit little-endian: 0.5 is 0x400000, -1 is -0x7FFFFF.
    EXPECT_EQ(converted<std::uint8_t>({0.5f, -1.0f}, mixLayout(plain(WAVE_FORMAT_PCM, 2, 24))),
              (std::vector<std::uint8_t>{0x00, 0x00, 0x40, 0x01, 0x00, 0x80}));
    const auto floats = converted<float>(stereo, mixLayout(plain(WAVE_FORMAT_IEEE_FLOAT, 2, 32)));
    EXPECT_EQ(floats, (std::vector<float>{1.0f, -1.0f, 0.5f, 1.0f, -1.0f, 0.0f}));
}

TEST(Win32MixFormat, ClearsAFramesPaddingAndWritesNoFurther)
{
    WAVEFORMATEX padded = plain(WAVE_FORMAT_PCM, 2, 16);
    padded.nBlockAlign = 6;
    const MixLayout layout = mixLayout(padded);
    ASSERT_EQ(layout.bytesPerFrame, 6);
    std::vector<std::uint8_t> bytes(2 * 6 + 4, 0xAB);
    const float stereo[] = {0.0f, 0.0f, 0.0f, 0.0f};
    convertStereo(stereo, 2, layout, bytes.data());
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_EQ(bytes[i], 0) << i;
    for (std::size_t i = 12; i < bytes.size(); ++i)
        EXPECT_EQ(bytes[i], 0xAB) << i;
}

} // namespace
