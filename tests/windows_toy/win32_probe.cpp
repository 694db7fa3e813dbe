// A minimal application on the real frame and the Win32 platform, for the
// whole-program tests under Wine. It logs each call it receives on stdout, one
// flushed line each, draws a grey splash and clears every frame to blue.
// ZINDLE_PROBE_CRASH=1 makes it crash with an access violation right after
// its first frame is on screen, so tests can see what a crash leaves behind.
#include "app/GLApplication.h"
#include "platform/draw/Bitmap.h"
#include "platform/win32/Win32Platform.h"

#include <windows.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

namespace {

void log(const char* format, int value = 0)
{
    std::printf(format, value);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class Win32Probe : public GLApplication {
public:
    using GLApplication::GLApplication;

    void showSplash(platform::WindowHandle window) override
    {
        platform::Bitmap picture(8, 8);
        const platform::WindowRect client = instance.clientRect(window);
        const bool drawn = instance.drawPicture(window, picture, 0, 0, client.right, client.bottom);
        log(drawn ? "showSplash drawn" : "showSplash failed");
    }

    void createScene() override { log("createScene"); }

    void drawFrame(double, double) override
    {
        glClearColor(0.0f, 0.0f, 0.8f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (++framesDrawn == 1)
            log("drawFrame");
        static const bool crash = std::getenv("ZINDLE_PROBE_CRASH") != nullptr;
        if (crash && framesDrawn == 2)
            *nowhere = 1;
    }

    void keyDown(int virtualKey) override { log("keyDown 0x%X", virtualKey); }

    void destroyScene() override { log("destroyScene"); }

private:
    int framesDrawn = 0;
    int* volatile nowhere = nullptr;
};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    SetProcessDPIAware();
    platform::Win32Platform platform(instance);
    int exitCode;
    {
        Win32Probe application(platform);
        exitCode = application.run();
    }
    log("exit %d", exitCode);
    return exitCode;
}
