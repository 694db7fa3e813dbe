// The shared-mode mix format of an audio device as a frame layout, and the
// program's float stereo converted into it. Kept apart from the device calls
// so that tests can check every layout a device may ask for.
#pragma once

#include <windows.h>

#include <cstdint>

namespace platform::win32 {

enum class SampleEncoding {
    Unsupported,
    Float32,
    Int16,
    Int24, // three bytes, packed
    Int32, // also 24 valid bits in a 32-bit container: the high bits carry them
    UInt8,
};

struct MixLayout {
    SampleEncoding encoding = SampleEncoding::Unsupported;
    int channels = 0;
    int bytesPerSample = 0;
    int bytesPerFrame = 0;
    int sampleRate = 0;
    // Where the program's left and right go; -1 where the device has no such
    // speaker. When either is missing, `mono` carries the two averaged.
    int left = -1;
    int right = -1;
    int mono = -1;
};

// Reads WAVE_FORMAT_PCM, WAVE_FORMAT_IEEE_FLOAT and WAVE_FORMAT_EXTENSIBLE
// (the format's cbSize must cover the extension). Anything else, or a frame
// too small for its channels, is Unsupported.
MixLayout mixLayout(const WAVEFORMATEX& format);

// Writes `frames` frames of interleaved stereo (each sample in [-1, 1]; louder
// ones are clipped, NaN is silence) into `out` as the layout says. Channels
// that carry neither side are silent.
void convertStereo(const float* stereo, int frames, const MixLayout& layout, std::uint8_t* out);

} // namespace platform::win32
