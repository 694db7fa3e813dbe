// Sound out and speech on Windows: not yet played; the toy is silent.
#include "platform/win32/Win32Platform.h"

namespace platform {

void Win32Platform::startAudio(AudioSource&) {}

void Win32Platform::stopAudio() {}

void Win32Platform::startSpeech(const SpeechRequest&, SpeechSink&) {}

void Win32Platform::stopSpeech() {}

} // namespace platform
