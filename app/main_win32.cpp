// The entry point on Windows: the toy runs on the Win32 platform with the
// module's instance, and its result is the process exit code.
#include "game/Zindle.h"
#include "platform/win32/Win32Platform.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // Windows must not scale the 1024x768 window on a screen set to larger text.
    SetProcessDPIAware();
    platform::Win32Platform platform(instance);
    int exitCode;
    {
        Zindle application(platform);
        exitCode = application.run();
    }
    return exitCode;
}
