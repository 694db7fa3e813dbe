// Speech through espeak-ng: every text said once, into a clip, on a thread
// of its own, and handed to the sink there.
#pragma once

#include "platform/Audio.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace platform {

// espeak-ng's library, where installed.
inline constexpr const char* espeakLibraryName = "libespeak-ng.so.1";

// Receives each line the speech has to say (without "zindle: ").
using SpeechReport = std::function<void(const std::string& line)>;

// Says each text of `request` with the library `libraryName` and hands the
// clips to `sink`, in order, until `stopped` returns true. A text of one
// character is said by that character's name. Without the library, its data
// or any voice, one report and no clip; without a voice for the language,
// one report and English.
void speakAll(const SpeechRequest& request, SpeechSink& sink, const SpeechReport& report,
              const std::string& libraryName, const std::function<bool()>& stopped);

class EspeakSpeech {
public:
    // Starts at once; the clips come on the speech thread.
    EspeakSpeech(SpeechRequest request, SpeechSink& sink, SpeechReport report,
                 std::string libraryName = espeakLibraryName);
    ~EspeakSpeech();
    EspeakSpeech(const EspeakSpeech&) = delete;
    EspeakSpeech& operator=(const EspeakSpeech&) = delete;

    // No call to the sink runs once this returns. Waits up to `bound` for
    // the thread. Idempotent.
    void stop(std::chrono::milliseconds bound = std::chrono::milliseconds(2000));

    struct Shared;

private:
    std::shared_ptr<Shared> shared;
    std::thread thread;
};

} // namespace platform
