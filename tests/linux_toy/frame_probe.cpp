// A minimal application on the real frame and the SDL platform, for the
// frame's whole-program tests. It logs each call it receives on stdout, one
// flushed line each, paints a green splash and clears every frame to blue, so
// a test can tell from a screenshot which stage the program is in.
//
// ZINDLE_PROBE_SPLASH=PATH shows that picture file as the splash.
// ZINDLE_PROBE_HOLD_FILE=PATH keeps createScene waiting (up to a minute) until
// PATH exists, so a test can act while the program is still starting up.
// ZINDLE_PROBE_CRASH=segv or =overflow crashes the program right after its
// first frame is on screen (a SIGSEGV, or a stack overflow), so tests can check
// what a crash leaves behind: the desktop's display mode, the cursor.
#include "app/GLApplication.h"
#include "platform/draw/Bitmap.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/SolidBrush.h"
#include "platform/sdl/SdlPlatform.h"

#include <GL/gl.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Recurses until the stack runs out. Each call keeps a live page of its own
// and uses the result of the next, so it can become neither a loop nor a
// tail call.
[[gnu::noinline]] std::size_t exhaustStack(std::size_t depth)
{
    volatile char page[4096];
    page[depth % sizeof page] = static_cast<char>(depth);
    if (depth == SIZE_MAX)
        return 0;
    return exhaustStack(depth + 1) + static_cast<std::size_t>(page[depth % sizeof page]);
}

// The second frame comes after the first one's swap.
void crashIfAskedAfterFirstFrame(int framesDrawn)
{
    static const char* crash = std::getenv("ZINDLE_PROBE_CRASH");
    if (crash == nullptr || framesDrawn != 2)
        return;
    if (std::strcmp(crash, "segv") == 0)
        std::raise(SIGSEGV);
    else if (std::strcmp(crash, "overflow") == 0)
        exhaustStack(0);
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
        crashIfAskedAfterFirstFrame(++framesDrawn);
    }

    void keyDown(int virtualKey) override { log("keyDown %d", virtualKey); }

    void destroyScene() override { log("destroyScene"); }

private:
    int framesDrawn = 0;
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
