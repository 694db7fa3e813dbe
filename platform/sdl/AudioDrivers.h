// Which of SDL's audio drivers the toy asks for, in order: PipeWire's own
// where a PipeWire server runs (the lowest latency measured), then
// PulseAudio, then ALSA straight to the card.
#pragma once

#include <functional>
#include <string>

namespace platform {

// Reads an environment variable; nullptr when unset.
using EnvironmentReader = std::function<const char*(const char*)>;
// Whether a file (a server's socket) exists.
using FileProbe = std::function<bool(const std::string&)>;

// SDL's driver list ("pipewire,pulseaudio,alsa"), or empty when the
// environment names a driver itself (SDL_AUDIODRIVER), which then wins.
std::string audioDriverList(const EnvironmentReader& environment, const FileProbe& exists);

// The same, for this process's environment and files.
std::string audioDriverList();

} // namespace platform
