// Sound out and speech on Linux: not yet played; the toy is silent.
#include "platform/sdl/SdlPlatform.h"

namespace platform {

void SdlPlatform::startAudio(AudioSource&) {}

void SdlPlatform::stopAudio() {}

void SdlPlatform::startSpeech(const SpeechRequest&, SpeechSink&) {}

void SdlPlatform::stopSpeech() {}

} // namespace platform
