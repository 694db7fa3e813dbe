// Recorded sound read and measured for the whole-program sound tests. Onsets
// come from short windows: a sound starts where the level leaves silence, or
// where the change between samples jumps well above the last few windows (a
// struck tone over the tail of the one before).
#include "tests/support/SoundAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace testing_support {

namespace {

std::uint32_t read32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t read16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

float sampleAt(const std::uint8_t* p, SampleFormat format, std::size_t& clipped)
{
    if (format == SampleFormat::s16) {
        const auto value = static_cast<std::int16_t>(read16(p));
        if (value == INT16_MIN || value == INT16_MAX)
            ++clipped;
        return static_cast<float>(value) / 32768.0f;
    }
    const std::uint32_t bits = read32(p);
    if (format == SampleFormat::s32) {
        const auto value = static_cast<std::int32_t>(bits);
        if (value == INT32_MIN || value == INT32_MAX)
            ++clipped;
        return static_cast<float>(static_cast<double>(value) / 2147483648.0);
    }
    float value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value) || std::fabs(value) >= 1.0f) {
        ++clipped;
        value = std::isfinite(value) ? std::clamp(value, -1.0f, 1.0f) : 0.0f;
    }
    return value;
}

double rms(const std::vector<float>& samples, std::size_t first, std::size_t last)
{
    if (last <= first)
        return 0.0;
    double sum = 0.0;
    for (std::size_t i = first; i < last; ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(last - first));
}

// Power of the Hann-windowed stereo sum at `hz` (Goertzel).
double powerAt(const std::vector<double>& windowed, double hz, int sampleRate)
{
    const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hz / sampleRate);
    double previous = 0.0, beforePrevious = 0.0;
    for (const double x : windowed) {
        const double current = x + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    return previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
}

} // namespace

Recording decodeRaw(const std::vector<std::uint8_t>& bytes, SampleFormat format, int sampleRate, int channels)
{
    Recording recording;
    recording.sampleRate = sampleRate;
    if (channels < 1 || channels > 2 || sampleRate <= 0)
        return recording;
    const std::size_t width = format == SampleFormat::s16 ? 2 : 4;
    const std::size_t frameBytes = width * static_cast<std::size_t>(channels);
    const std::size_t frames = bytes.size() / frameBytes;
    recording.left.resize(frames);
    recording.right.resize(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const std::uint8_t* frame = bytes.data() + i * frameBytes;
        recording.left[i] = sampleAt(frame, format, recording.clipped);
        recording.right[i] = channels == 2 ? sampleAt(frame + width, format, recording.clipped) : recording.left[i];
    }
    return recording;
}

Recording decodeWav(const std::vector<std::uint8_t>& bytes, std::string& error)
{
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return {};
    }
    bool haveFormat = false;
    SampleFormat format = SampleFormat::s16;
    int channels = 0, sampleRate = 0;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::uint8_t* chunk = bytes.data() + at;
        const std::size_t size = read32(chunk + 4);
        const std::size_t bodyAt = at + 8;
        const std::size_t available = bytes.size() - bodyAt;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || size > available) {
                error = "the format chunk is cut short";
                return {};
            }
            const std::uint8_t* body = bytes.data() + bodyAt;
            unsigned tag = read16(body);
            // WAVE_FORMAT_EXTENSIBLE names the real format in its sub-format.
            if (tag == 0xFFFE && size >= 26)
                tag = read16(body + 24);
            channels = read16(body + 2);
            sampleRate = static_cast<int>(read32(body + 4));
            const unsigned bits = read16(body + 14);
            if (tag == 1 && bits == 16)
                format = SampleFormat::s16;
            else if (tag == 1 && bits == 32)
                format = SampleFormat::s32;
            else if (tag == 3 && bits == 32)
                format = SampleFormat::f32;
            else {
                error = "samples neither 16- or 32-bit PCM nor 32-bit float (format " + std::to_string(tag) + ", " +
                        std::to_string(bits) + " bits)";
                return {};
            }
            if (channels < 1 || channels > 2 || sampleRate <= 0 || sampleRate > 768000) {
                error = "unusable channel count or rate";
                return {};
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                error = "the data come before the format";
                return {};
            }
            // A recorder that streams writes 0 or the largest size until it
            // stops; either way the data run to the end.
            const std::size_t length = size == 0 ? available : std::min(size, available);
            const std::vector<std::uint8_t> body(bytes.begin() + static_cast<std::ptrdiff_t>(bodyAt),
                                                 bytes.begin() + static_cast<std::ptrdiff_t>(bodyAt + length));
            return decodeRaw(body, format, sampleRate, channels);
        }
        if (size > available)
            break;
        at = bodyAt + size + (size & 1);
    }
    error = haveFormat ? "no data chunk" : "no format chunk";
    return {};
}

double dominantFrequency(const Recording& recording, std::size_t first, std::size_t count)
{
    first = std::min(first, recording.frames());
    count = std::min(count, recording.frames() - first);
    if (count < 64 || recording.sampleRate <= 0)
        return 0.0;
    std::vector<double> windowed(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double hann =
            0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(count - 1));
        windowed[i] = hann * (static_cast<double>(recording.left[first + i]) + recording.right[first + i]);
    }
    const double top = std::min(12000.0, recording.sampleRate / 2.0 - 1.0);
    // Coarse, then fine around the best coarse step.
    double best = 0.0, bestPower = -1.0;
    for (int step = 0; 40.0 + 4.0 * step <= top; ++step) {
        const double hz = 40.0 + 4.0 * step;
        const double power = powerAt(windowed, hz, recording.sampleRate);
        if (power > bestPower) {
            bestPower = power;
            best = hz;
        }
    }
    const double coarse = best;
    for (int step = 0; step <= 32; ++step) {
        const double hz = coarse - 4.0 + 0.25 * step;
        const double power = powerAt(windowed, hz, recording.sampleRate);
        if (power > bestPower) {
            bestPower = power;
            best = hz;
        }
    }
    return best;
}

std::vector<Onset> findOnsets(const Recording& recording, const OnsetOptions& options)
{
    std::vector<Onset> onsets;
    const std::size_t window =
        std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(options.window * recording.sampleRate)));
    const std::size_t windows = recording.frames() / window;
    // The change from one sample to the next, whose size grows with the
    // frequency: it weighs the upper partials of a strike, which die fastest
    // and so are renewed most plainly by the next strike even where its
    // fundamental is no louder than the ring it falls on.
    const auto edgeAt = [&recording](std::size_t i) {
        if (i == 0)
            return 0.0;
        return std::max(std::fabs(static_cast<double>(recording.left[i]) - recording.left[i - 1]),
                        std::fabs(static_cast<double>(recording.right[i]) - recording.right[i - 1]));
    };
    std::vector<double> level(windows), edge(windows);
    for (std::size_t w = 0; w < windows; ++w) {
        double peak = 0.0, change = 0.0;
        for (std::size_t i = w * window; i < (w + 1) * window; ++i) {
            peak = std::max({peak, std::fabs(static_cast<double>(recording.left[i])),
                             std::fabs(static_cast<double>(recording.right[i]))});
            change = std::max(change, edgeAt(i));
        }
        level[w] = peak;
        edge[w] = change;
    }
    // A decaying tone changes less from window to window; a strike over it,
    // or a voice restarted, rises above the most of the few windows before.
    // Comparing with the most, not the last, keeps the beating of two tones a
    // few hertz apart from passing for strikes.
    const auto lookBack =
        std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(options.lookBack / options.window - 1e-9)));
    std::vector<std::size_t> starts;
    double lastTime = -1e9;
    for (std::size_t w = 0; w < windows; ++w) {
        if (level[w] < options.threshold)
            continue;
        double levelBefore = 0.0, edgeBefore = 0.0;
        for (std::size_t b = w >= lookBack ? w - lookBack : 0; b < w; ++b) {
            levelBefore = std::max(levelBefore, level[b]);
            edgeBefore = std::max(edgeBefore, edge[b]);
        }
        const bool fromSilence = levelBefore < options.threshold;
        if (!fromSilence && edge[w] < options.rise * edgeBefore)
            continue;
        // The first sample of the window past what came before.
        std::size_t first = w * window;
        if (fromSilence) {
            while (first < (w + 1) * window &&
                   std::max(std::fabs(recording.left[first]), std::fabs(recording.right[first])) < options.threshold)
                ++first;
        } else {
            while (first < (w + 1) * window && edgeAt(first) <= edgeBefore)
                ++first;
            if (first == (w + 1) * window)
                first = w * window;
        }
        const double time = static_cast<double>(first) / recording.sampleRate;
        if (time - lastTime < options.minimumGap)
            continue;
        lastTime = time;
        starts.push_back(first);
    }
    const auto halfSecond = static_cast<std::size_t>(recording.sampleRate / 2);
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const std::size_t first = starts[k];
        const std::size_t last = std::min(
            {k + 1 < starts.size() ? starts[k + 1] : recording.frames(), first + halfSecond, recording.frames()});
        Onset onset;
        onset.time = static_cast<double>(first) / recording.sampleRate;
        for (std::size_t i = first; i < last; ++i)
            onset.peak = std::max({onset.peak, std::fabs(static_cast<double>(recording.left[i])),
                                   std::fabs(static_cast<double>(recording.right[i]))});
        // A lone sample over the threshold in a window, followed by nothing
        // (a recorder's glitch), is no sound.
        if (onset.peak < options.threshold)
            continue;
        onset.leftRms = rms(recording.left, first, last);
        onset.rightRms = rms(recording.right, first, last);
        // Skip the attack, whose click spreads over every frequency.
        const std::size_t settle = std::min(last, first + static_cast<std::size_t>(recording.sampleRate / 200));
        onset.frequency = dominantFrequency(recording, settle, std::min<std::size_t>(4096, last - settle));
        onsets.push_back(onset);
    }
    return onsets;
}

Summary summarize(const Recording& recording)
{
    Summary summary;
    for (std::size_t i = 0; i < recording.frames(); ++i)
        summary.peak = std::max({summary.peak, std::fabs(static_cast<double>(recording.left[i])),
                                 std::fabs(static_cast<double>(recording.right[i]))});
    summary.leftRms = rms(recording.left, 0, recording.frames());
    summary.rightRms = rms(recording.right, 0, recording.frames());
    return summary;
}

} // namespace testing_support
