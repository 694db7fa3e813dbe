// The audio driver order: a PipeWire server shows itself by its socket, where
// libpipewire looks for it.
#include "platform/sdl/AudioDrivers.h"

#include <cstdlib>
#include <sys/stat.h>

namespace platform {

namespace {

bool set(const char* value)
{
    return value != nullptr && *value != '\0';
}

// The socket a PipeWire client connects to: PIPEWIRE_REMOTE names it (a path,
// or a name in the runtime folder), else "pipewire-0" in PIPEWIRE_RUNTIME_DIR
// or XDG_RUNTIME_DIR.
std::string pipeWireSocket(const EnvironmentReader& environment)
{
    const char* remote = environment("PIPEWIRE_REMOTE");
    std::string name = set(remote) ? remote : "pipewire-0";
    if (name.front() == '/')
        return name;
    const char* folder = environment("PIPEWIRE_RUNTIME_DIR");
    if (!set(folder))
        folder = environment("XDG_RUNTIME_DIR");
    if (!set(folder))
        return {};
    return std::string(folder) + "/" + name;
}

} // namespace

std::string audioDriverList(const EnvironmentReader& environment, const FileProbe& exists)
{
    if (set(environment("SDL_AUDIODRIVER")))
        return {};
    const std::string socket = pipeWireSocket(environment);
    if (!socket.empty() && exists(socket))
        return "pipewire,pulseaudio,alsa";
    return "pulseaudio,alsa";
}

std::string audioDriverList()
{
    return audioDriverList([](const char* name) { return std::getenv(name); },
                           [](const std::string& path) {
                               struct stat status {};
                               return stat(path.c_str(), &status) == 0;
                           });
}

} // namespace platform
