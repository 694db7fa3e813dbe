// Sound out on Linux: SDL's audio, started on its own apart from the video,
// on the player's thread.
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
    audio = std::make_unique<AudioPlayer>(
        source, [](const std::string& line) { std::fprintf(stderr, "zindle: %s\n", line.c_str()); });
}

void SdlPlatform::stopAudio()
{
    if (audio)
        audio->stop();
    audio.reset();
}

} // namespace platform
