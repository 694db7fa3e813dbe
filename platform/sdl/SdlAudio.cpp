// Sound out on Linux: SDL's audio, started on its own apart from the video,
// on the player's thread.
//
// Asked for before the first frame is on screen, it waits for that frame:
// opening the device (the sound server's client library, its connection and
// threads) took the processor from the first frame and made the launch 10 %
// later on two cores. Nothing can be heard before the first frame anyway.
#include "platform/sdl/AudioDrivers.h"
#include "platform/sdl/AudioPlayer.h"
#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include <cstdio>

namespace platform {

void SdlPlatform::startAudio(AudioSource& source)
{
    stopAudio();
    // Set here on the main thread: SDL's hints are not safe to change from
    // two threads. The environment's SDL_AUDIODRIVER, if any, wins.
    if (const std::string drivers = audioDriverList(); !drivers.empty())
        SDL_SetHint(SDL_HINT_AUDIODRIVER, drivers.c_str());
    waitingAudio = &source;
    if (frameShown || !videoStarted)
        startWaitingAudio();
}

void SdlPlatform::startWaitingAudio()
{
    if (waitingAudio == nullptr)
        return;
    audio = std::make_unique<AudioPlayer>(
        *waitingAudio, [](const std::string& line) { std::fprintf(stderr, "zindle: %s\n", line.c_str()); });
    waitingAudio = nullptr;
}

void SdlPlatform::stopAudio()
{
    waitingAudio = nullptr;
    if (audio)
        audio->stop();
    audio.reset();
}

} // namespace platform
