// Sound out and speech, as the platform offers them to the program. The
// platform pulls samples from an AudioSource on a thread of its own and makes
// speech clips on another; the program mixes. No platform type appears here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class AudioSource {
public:
    virtual ~AudioSource() = default;
    // Called on the platform's audio thread, again and again while a device
    // plays: fill `frames` frames of interleaved stereo (left, right) at
    // `sampleRate`, each sample in [-1, 1]. `counter` is the performance
    // counter (Counter.h) when the call began. Must not allocate, lock, wait
    // or call the system.
    virtual void render(float* samples, int frames, int sampleRate, std::int64_t counter) = 0;
};

class SpeechSink {
public:
    virtual ~SpeechSink() = default;
    // Called on the speech thread once for each text that could be said:
    // mono samples at `sampleRate`. Texts that could not be said are skipped.
    virtual void spoken(int index, std::vector<std::int16_t> samples, int sampleRate) = 0;
};

struct SpeechRequest {
    // An IETF-style language tag ("de", "pt-BR"); empty: the desktop's own.
    // Where the language has no voice, English is used.
    std::string language;
    // What to say, in UTF-8, by index.
    std::vector<std::string> texts;
};

} // namespace platform
