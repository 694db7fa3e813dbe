// Speech on Linux: espeak-ng, loaded when the toy starts speaking.
//
// espeak-ng switches the whole process's character locale to a UTF-8 one
// while it starts (setlocale), from the speech thread. Made at the same time
// on the main thread, the window would get its title in that locale's
// encoding, or in none if the switch lands half-way, and programs that find
// windows by name (window managers' older parts, test tools) would not read
// it. So speech asked for before the first frame is on screen waits for it,
// as sound does (SdlAudio.cpp): by then the window has its title, and making
// the names does not take the processor from that frame.
#include "platform/espeak/EspeakSpeech.h"
#include "platform/sdl/SdlPlatform.h"

#include <cstdio>

namespace platform {

void SdlPlatform::startSpeech(const SpeechRequest& request, SpeechSink& sink)
{
    stopSpeech();
    waitingSpeech = std::make_unique<SpeechRequest>(request);
    waitingSink = &sink;
    if (frameShown || !videoStarted)
        startWaitingSpeech();
}

void SdlPlatform::startWaitingSpeech()
{
    if (!waitingSpeech || waitingSink == nullptr)
        return;
    speech = std::make_unique<EspeakSpeech>(std::move(*waitingSpeech), *waitingSink, [](const std::string& line) {
        std::fprintf(stderr, "zindle: %s\n", line.c_str());
    });
    waitingSpeech.reset();
    waitingSink = nullptr;
}

void SdlPlatform::stopSpeech()
{
    waitingSpeech.reset();
    waitingSink = nullptr;
    if (speech)
        speech->stop();
    speech.reset();
}

} // namespace platform
