// The mix format's layout and the conversion into it.
#include "platform/win32/Win32MixFormat.h"

#include <ks.h>
#include <ksmedia.h>
#include <mmreg.h>

#include <bit>
#include <cmath>
#include <cstring>

namespace platform::win32 {

namespace {

// The index of `speaker` among the channels of `mask`: channels are ordered by
// their speaker's bit, lowest first.
int channelOf(DWORD mask, DWORD speaker, int channels)
{
    if ((mask & speaker) == 0)
        return -1;
    const int index = std::popcount(mask & (speaker - 1));
    return index < channels ? index : -1;
}

SampleEncoding encodingOf(bool isFloat, int containerBits, int validBits)
{
    if (isFloat)
        return containerBits == 32 ? SampleEncoding::Float32 : SampleEncoding::Unsupported;
    if (validBits > containerBits)
        return SampleEncoding::Unsupported;
    switch (containerBits) {
    case 8:
        return SampleEncoding::UInt8;
    case 16:
        return SampleEncoding::Int16;
    case 24:
        return SampleEncoding::Int24;
    case 32:
        return SampleEncoding::Int32;
    default:
        return SampleEncoding::Unsupported;
    }
}

double clamped(float sample)
{
    if (!(sample == sample)) // NaN
        return 0.0;
    return sample > 1.0f ? 1.0 : sample < -1.0f ? -1.0 : static_cast<double>(sample);
}

void writeSample(std::uint8_t* out, SampleEncoding encoding, double value)
{
    switch (encoding) {
    case SampleEncoding::Float32: {
        const float sample = static_cast<float>(value);
        std::memcpy(out, &sample, sizeof sample);
        break;
    }
    case SampleEncoding::Int16: {
        const auto sample = static_cast<std::int16_t>(std::lround(value * 32767.0));
        std::memcpy(out, &sample, sizeof sample);
        break;
    }
    case SampleEncoding::Int24: {
        const auto sample = static_cast<std::int32_t>(std::lround(value * 8388607.0));
        out[0] = static_cast<std::uint8_t>(sample & 0xFF);
        out[1] = static_cast<std::uint8_t>((sample >> 8) & 0xFF);
        out[2] = static_cast<std::uint8_t>((sample >> 16) & 0xFF);
        break;
    }
    case SampleEncoding::Int32: {
        const auto sample = static_cast<std::int32_t>(std::llround(value * 2147483647.0));
        std::memcpy(out, &sample, sizeof sample);
        break;
    }
    case SampleEncoding::UInt8:
        out[0] = static_cast<std::uint8_t>(std::lround(128.0 + value * 127.0));
        break;
    case SampleEncoding::Unsupported:
        break;
    }
}

} // namespace

MixLayout mixLayout(const WAVEFORMATEX& format)
{
    MixLayout layout;
    const int channels = format.nChannels;
    const int containerBits = format.wBitsPerSample;
    if (channels < 1 || containerBits % 8 != 0 || format.nSamplesPerSec == 0)
        return layout;

    bool isFloat = false;
    int validBits = containerBits;
    DWORD mask = 0;
    if (format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT) {
        isFloat = true;
    } else if (format.wFormatTag == WAVE_FORMAT_EXTENSIBLE) {
        if (format.cbSize < sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX))
            return layout;
        const auto& extensible = reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format);
        if (IsEqualGUID(extensible.SubFormat, KSDATAFORMAT_SUBTYPE_IEEE_FLOAT))
            isFloat = true;
        else if (!IsEqualGUID(extensible.SubFormat, KSDATAFORMAT_SUBTYPE_PCM))
            return layout;
        if (extensible.Samples.wValidBitsPerSample != 0)
            validBits = extensible.Samples.wValidBitsPerSample;
        mask = extensible.dwChannelMask;
    } else if (format.wFormatTag != WAVE_FORMAT_PCM) {
        return layout;
    }

    const SampleEncoding encoding = encodingOf(isFloat, containerBits, validBits);
    const int bytesPerSample = containerBits / 8;
    if (encoding == SampleEncoding::Unsupported || format.nBlockAlign < channels * bytesPerSample)
        return layout;
    layout.encoding = encoding;
    layout.channels = channels;
    layout.bytesPerSample = bytesPerSample;
    layout.bytesPerFrame = format.nBlockAlign;
    layout.sampleRate = static_cast<int>(format.nSamplesPerSec);

    if (mask == 0) {
        // No speaker positions: the first two channels are left and right.
        if (channels >= 2) {
            layout.left = 0;
            layout.right = 1;
        } else {
            layout.mono = 0;
        }
        return layout;
    }
    layout.left = channelOf(mask, SPEAKER_FRONT_LEFT, channels);
    layout.right = channelOf(mask, SPEAKER_FRONT_RIGHT, channels);
    if (layout.left >= 0 && layout.right >= 0)
        return layout;
    // Without a pair, both sides go to one speaker, the centre first.
    int mono = channelOf(mask, SPEAKER_FRONT_CENTER, channels);
    if (mono < 0)
        mono = layout.left >= 0 ? layout.left : layout.right >= 0 ? layout.right : 0;
    layout.left = -1;
    layout.right = -1;
    layout.mono = mono;
    return layout;
}

void convertStereo(const float* stereo, int frames, const MixLayout& layout, std::uint8_t* out)
{
    if (layout.encoding == SampleEncoding::Unsupported)
        return;
    for (int frame = 0; frame < frames; ++frame) {
        std::uint8_t* frameOut = out + static_cast<std::ptrdiff_t>(frame) * layout.bytesPerFrame;
        const double left = clamped(stereo[2 * frame]);
        const double right = clamped(stereo[2 * frame + 1]);
        for (int channel = 0; channel < layout.channels; ++channel) {
            double value = 0.0;
            if (channel == layout.left)
                value = left;
            else if (channel == layout.right)
                value = right;
            else if (channel == layout.mono)
                value = (left + right) / 2.0;
            writeSample(frameOut + channel * layout.bytesPerSample, layout.encoding, value);
        }
        // Padding a frame may carry after its samples.
        const int used = layout.channels * layout.bytesPerSample;
        if (layout.bytesPerFrame > used)
            std::memset(frameOut + used, 0, static_cast<std::size_t>(layout.bytesPerFrame - used));
    }
}

} // namespace platform::win32
