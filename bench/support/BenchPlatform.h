// A platform for the scene benchmarks: the real application frame runs its
// loop on a hidden GL context (platform::HeadlessGLContext) while a script
// decides, pass by pass, which message comes next and hears of every swap.
// It answers the examined calls with success and keeps no log, so that the
// loop it drives allocates exactly what the program itself would.
#pragma once

#include "bench/support/ProcStatus.h"
#include "platform/Platform.h"
#include "tests/support/fixtures/HeadlessGLContext.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace bench {

class Script {
public:
    virtual ~Script() = default;
    // The next message for the loop, or false to let it draw a frame.
    virtual bool next(platform::Message& message) = 0;
    virtual void swapped() {}
    // The loop waits for a message or for `seconds` (negative: for ever);
    // the bench platform returns at once, after telling the script.
    virtual void waiting(double /*seconds*/) {}
};

class BenchPlatform : public platform::Platform {
public:
    BenchPlatform(platform::HeadlessGLContext& context, int width, int height)
        : gl(context), clientWidth(width), clientHeight(height)
    {
    }

    Script* script = nullptr;
    // What refreshRate reports; the default is beyond any display, so the
    // frames come as fast as the machine draws them unless a bench says
    // otherwise.
    int displayRefreshRate = 100000;

    static constexpr platform::WindowHandle windowHandle = 1;

    int startDrawing(std::uintptr_t* token, const platform::DrawingStartupInput&) override
    {
        *token = 1;
        return 0;
    }
    void stopDrawing(std::uintptr_t) override {}
    unsigned lastError() override { return 0; }
    bool changeDisplayMode(int, int, int) override { return true; }
    void showCursor(bool) override {}
    void messageBox(std::string_view text, std::string_view) override
    {
        std::fprintf(stderr, "unexpected message box: %.*s\n", static_cast<int>(text.size()), text.data());
    }
    void registerClass(const platform::WindowClass& windowClass) override { procedure = windowClass.procedure; }
    platform::WindowHandle createWindow(const platform::WindowRequest&) override { return windowHandle; }
    // As on the desktop, showing the window sizes and activates it at once.
    void showWindow(platform::WindowHandle window) override
    {
        procedure(window, platform::WM_SIZE, 0,
                  platform::makeLParam(static_cast<unsigned>(clientWidth), static_cast<unsigned>(clientHeight)));
        procedure(window, platform::WM_ACTIVATE, platform::makeWParam(platform::WA_ACTIVE, 0), 0);
    }
    void setForegroundWindow(platform::WindowHandle) override {}
    void setFocus(platform::WindowHandle) override {}
    platform::WindowRect clientRect(platform::WindowHandle) override { return {0, 0, clientWidth, clientHeight}; }
    bool drawPicture(platform::WindowHandle, platform::Bitmap&, int, int, int, int) override { return true; }
    void destroyWindow(platform::WindowHandle) override {}
    void minimizeWindow(platform::WindowHandle) override {}
    void holdFullScreen(platform::WindowHandle) override {}
    void releaseFullScreen(platform::WindowHandle) override {}
    void startAudio(platform::AudioSource&) override {}
    void stopAudio() override {}
    void startSpeech(const platform::SpeechRequest&, platform::SpeechSink&) override {}
    void stopSpeech() override {}
    platform::ContextHandle createGLContext(platform::WindowHandle) override { return 1; }
    // The hidden context is current for the whole run.
    void makeCurrent(platform::WindowHandle, platform::ContextHandle) override {}
    void deleteGLContext(platform::ContextHandle) override {}
    void swapBuffers(platform::WindowHandle) override
    {
        gl.swapBuffers();
        if (script)
            script->swapped();
    }
    bool peekMessage(platform::Message& message) override
    {
        if (quitPosted) {
            quitPosted = false;
            message = {windowHandle, platform::WM_QUIT, static_cast<std::uintptr_t>(quitCode), 0};
            return true;
        }
        return script != nullptr && script->next(message);
    }
    void waitMessage(double seconds) override
    {
        if (script)
            script->waiting(seconds);
    }
    int refreshRate(platform::WindowHandle) override { return displayRefreshRate; }
    void translateMessage(const platform::Message&) override {}
    std::intptr_t dispatchMessage(const platform::Message& message) override
    {
        return procedure(message.window, message.message, message.wParam, message.lParam);
    }
    void postQuitMessage(int exitCode) override
    {
        quitPosted = true;
        quitCode = exitCode;
    }
    std::intptr_t defWindowProc(platform::WindowHandle, unsigned, std::uintptr_t, std::intptr_t) override { return 0; }

private:
    platform::HeadlessGLContext& gl;
    int clientWidth;
    int clientHeight;
    platform::WindowProcedure procedure = nullptr;
    bool quitPosted = false;
    int quitCode = 0;
};

// A key-down message for the loop.
inline platform::Message keyMessage(int virtualKey)
{
    return {BenchPlatform::windowHandle, platform::WM_KEYDOWN, static_cast<std::uintptr_t>(virtualKey), 0};
}

// Throws as the scene benchmarks make them: a few keys at a time, going round
// the grid so that each throw takes other cubes; each flight lasts about 1.6 s.
class Throws {
public:
    static constexpr int keysPerThrow = 3;

    // The next throw's keys are to come.
    void throwNext() { pending = keysPerThrow; }

    // The next key-down of the throw, or false once it has all been sent.
    bool next(platform::Message& message)
    {
        if (pending == 0)
            return false;
        --pending;
        message = keyMessage(keys[index]);
        index = (index + 1) % std::size(keys);
        return true;
    }

private:
    static constexpr int keys[] = {0x41, 0x4B, 0x55, 0x31, 0x37, 0x48, 0x50, 0x58, 0x35, 0xBE, 0x44, 0x4E, 0x52};
    int pending = 0;
    std::size_t index = 0;
};

} // namespace bench
