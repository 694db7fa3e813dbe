// The entry point: the SDL platform stands in for the module instance, the toy
// runs on it, and its result is the process exit code.
#include "game/Zindle.h"
#include "platform/posix/Memory.h"
#include "platform/sdl/SdlPlatform.h"

#include <cstdio>
#include <string>

int main()
{
    if (const std::string shortfall = platform::memoryShortfall(); !shortfall.empty()) {
        std::fprintf(stderr, "zindle: %s\n", shortfall.c_str());
        return 1;
    }
    platform::SdlPlatform platform;
    if (!platform.initialized()) {
        std::fprintf(stderr, "zindle: cannot start without a display: %s\n", platform.initError().c_str());
        return 1;
    }
    int exitCode;
    {
        Zindle application(platform);
        exitCode = application.run();
    }
    return exitCode;
}
