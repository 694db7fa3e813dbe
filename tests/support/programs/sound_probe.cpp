// Measures a recording for the whole-program sound tests and the sound
// benchmarks:
//
//   sound_probe [--raw s16|s32|f32 RATE CHANNELS] [--threshold LEVEL] [--rise RATIO] [--gap SECONDS] FILE
//
// FILE is a WAV file (16- or 32-bit PCM, or 32-bit float), or with --raw headerless
// interleaved samples (what SDL's disk driver writes). Prints one fact a line,
// for awk:
//
//   rate HZ / frames N / seconds S / peak P / clipped N / rms LEFT RIGHT
//   onset TIME PEAK LEFT_RMS RIGHT_RMS FREQUENCY     (one line per onset)
#include "tests/support/fixtures/SoundAnalysis.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: sound_probe [--raw s16|s32|f32 RATE CHANNELS] [--threshold LEVEL] [--rise RATIO] "
                         "[--window SECONDS] [--gap SECONDS] FILE\n");
    return 2;
}

bool number(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0';
}

} // namespace

int main(int argc, char** argv)
{
    using namespace testing_support;
    bool raw = false;
    SampleFormat format = SampleFormat::s16;
    double rate = 0.0, channels = 0.0;
    OnsetOptions options;
    std::string file;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const int left = argc - i - 1;
        if (word == "--raw" && left >= 3) {
            raw = true;
            const std::string name = argv[++i];
            if (name != "s16" && name != "s32" && name != "f32")
                return usage();
            format = name == "s16" ? SampleFormat::s16 : name == "s32" ? SampleFormat::s32 : SampleFormat::f32;
            if (!number(argv[++i], rate) || !number(argv[++i], channels))
                return usage();
        } else if (word == "--threshold" && left >= 1) {
            if (!number(argv[++i], options.threshold))
                return usage();
        } else if (word == "--rise" && left >= 1) {
            if (!number(argv[++i], options.rise))
                return usage();
        } else if (word == "--window" && left >= 1) {
            if (!number(argv[++i], options.window) || options.window <= 0.0)
                return usage();
        } else if (word == "--gap" && left >= 1) {
            if (!number(argv[++i], options.minimumGap))
                return usage();
        } else if (file.empty() && !word.starts_with("--")) {
            file = word;
        } else {
            return usage();
        }
    }
    if (file.empty())
        return usage();

    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        std::fprintf(stderr, "sound_probe: cannot read %s\n", file.c_str());
        return 1;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    Recording recording;
    if (raw) {
        if (rate < 1 || rate > 768000 || (channels != 1 && channels != 2))
            return usage();
        recording = decodeRaw(bytes, format, static_cast<int>(rate), static_cast<int>(channels));
    } else {
        std::string error;
        recording = decodeWav(bytes, error);
        if (!error.empty()) {
            std::fprintf(stderr, "sound_probe: %s: %s\n", file.c_str(), error.c_str());
            return 1;
        }
    }

    const Summary summary = summarize(recording);
    std::printf("rate %d\nframes %zu\nseconds %.4f\npeak %.5f\nclipped %zu\nrms %.6f %.6f\n", recording.sampleRate,
                recording.frames(), recording.seconds(), summary.peak, recording.clipped, summary.leftRms,
                summary.rightRms);
    for (const Onset& onset : findOnsets(recording, options))
        std::printf("onset %.4f %.5f %.6f %.6f %.1f\n", onset.time, onset.peak, onset.leftRms, onset.rightRms,
                    onset.frequency);
    return 0;
}
