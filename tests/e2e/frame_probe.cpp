// A minimal application on the real frame and the SDL platform, for the
// frame's whole-program tests. It logs each call it receives on stdout, one
// flushed line each, paints a green splash and clears every frame to blue, so
// a test can tell from a screenshot which stage the program is in.
//
// ZINDLE_PROBE_SPLASH=PATH shows that picture file as the splash.
// ZINDLE_PROBE_HOLD_FILE=PATH keeps createScene waiting (up to a minute) until
// PATH exists, so a test can act while the program is still starting up.
#include "app/GLApplication.h"
#include "platform/Bitmap.h"
#include "platform/Graphics.h"
#include "platform/SdlPlatform.h"
#include "platform/SolidBrush.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

namespace {

void log(const char* format, int value = 0)
{
    std::printf(format, value);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void holdWhileFileMissing()
{
    const char* path = std::getenv("ZINDLE_PROBE_HOLD_FILE");
    if (path == nullptr || *path == '\0')
        return;
    log("createScene holding");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!std::filesystem::exists(path) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

class FrameProbe : public GLApplication {
public:
    using GLApplication::GLApplication;

    void showSplash(platform::WindowHandle window) override
    {
        // A picture file when one is named, else a plain green picture.
        const char* file = std::getenv("ZINDLE_PROBE_SPLASH");
        std::unique_ptr<platform::Bitmap> picture;
        if (file != nullptr && *file != '\0') {
            picture = std::make_unique<platform::Bitmap>(file);
        } else {
            picture = std::make_unique<platform::Bitmap>(8, 8);
            platform::Graphics graphics(picture.get());
            platform::SolidBrush green(0xFF00C000);
            graphics.fillRectangle(&green, 0, 0, 8, 8);
        }
        const platform::WindowRect client = instance.clientRect(window);
        const bool drawn = instance.drawPicture(window, *picture, 0, 0, client.right, client.bottom);
        log(drawn ? "showSplash drawn" : "showSplash failed");
    }

    void createScene() override
    {
        log("createScene");
        holdWhileFileMissing();
    }

    void drawFrame(double, double) override
    {
        glClearColor(0.0f, 0.0f, 0.8f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        log("drawFrame");
    }

    void keyDown(int virtualKey) override { log("keyDown %d", virtualKey); }

    void destroyScene() override { log("destroyScene"); }
};

} // namespace

int main()
{
    platform::SdlPlatform platform;
    if (!platform.initialized()) {
        std::fprintf(stderr, "frame_probe: cannot start without a display: %s\n", platform.initError().c_str());
        return 1;
    }
    int exitCode;
    {
        FrameProbe application(platform);
        exitCode = application.run();
    }
    return exitCode;
}
