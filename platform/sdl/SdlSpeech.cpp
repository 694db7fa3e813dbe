// Speech on Linux: espeak-ng, loaded when the toy starts speaking.
#include "platform/espeak/EspeakSpeech.h"
#include "platform/sdl/SdlPlatform.h"

#include <cstdio>

namespace platform {

void SdlPlatform::startSpeech(const SpeechRequest& request, SpeechSink& sink)
{
    stopSpeech();
    speech = std::make_unique<EspeakSpeech>(
        request, sink, [](const std::string& line) { std::fprintf(stderr, "zindle: %s\n", line.c_str()); });
}

void SdlPlatform::stopSpeech()
{
    if (speech)
        speech->stop();
    speech.reset();
}

} // namespace platform
