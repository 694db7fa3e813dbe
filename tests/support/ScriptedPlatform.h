// A platform that plays a script: messages queued by the test, chosen results
// for the examined calls, a counter the test steps by hand (and waits move
// on), and a log of every call instead of real windows and boxes.
#pragma once

#include "platform/Counter.h"
#include "platform/Platform.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

class ManualClock : public platform::Clock {
public:
    std::int64_t frequency() override { return ticksPerSecond; }
    std::int64_t counter() override
    {
        ++reads;
        return now;
    }

    std::int64_t ticksPerSecond = 1000000;
    std::int64_t now = 0;
    int reads = 0;
};

struct MessageBoxShown {
    std::string text;
    std::string caption;
};

class ScriptedPlatform : public platform::Platform {
public:
    ScriptedPlatform();
    ~ScriptedPlatform() override;

    // Results the frame examines.
    int drawingStatus = 0;
    unsigned errorCode = 0;
    bool displayModeAvailable = true;
    bool windowCreation = true;
    bool contextCreation = true;

    // Messages that the window's creation and showing deliver to the window
    // procedure before the call returns, as a desktop system does.
    std::vector<platform::Message> onCreate;
    std::vector<platform::Message> onShow;

    // The queue peekMessage plays; tests may add to it at any time.
    std::deque<platform::Message> queue;
    // Called when peekMessage finds the queue empty, before it says so.
    std::function<void()> whenIdle;
    // Called on every swap, for tests that present to a real GL context.
    std::function<void()> onSwap;
    // Called when waitMessage finds the queue empty, with the time it was
    // asked to wait: it may post what arrives during the wait and move the
    // clock to then. A wait that still finds nothing runs its time out on the
    // clock; one without a time (while minimized) that finds nothing posts a
    // close instead of waiting for ever, and counts in unansweredWaits.
    std::function<void(double seconds)> whileWaiting;
    // What refreshRate reports.
    int displayRefreshRate = 0;
    // Every waitMessage call: the time asked for, and the clock then.
    struct Wait {
        double seconds;
        std::int64_t at;
    };
    std::vector<Wait> waits;
    int unansweredWaits = 0;

    ManualClock clock;
    std::vector<std::string> calls;
    std::vector<MessageBoxShown> boxes;
    platform::WindowRequest lastRequest;
    std::string lastClassName;
    bool contextCurrent = false;

    static constexpr platform::WindowHandle windowHandle = 7;
    static constexpr platform::ContextHandle contextHandle = 9;

    void post(unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    void postKey(int virtualKey) { post(platform::WM_KEYDOWN, static_cast<std::uintptr_t>(virtualKey)); }
    bool called(const std::string& call) const;
    // Index of the first logged call equal to call, or -1.
    int indexOf(const std::string& call) const;

    int startDrawing(std::uintptr_t* token, const platform::DrawingStartupInput& input) override;
    void stopDrawing(std::uintptr_t token) override;
    unsigned lastError() override;
    bool changeDisplayMode(int width, int height, int bitsPerPixel) override;
    void showCursor(bool show) override;
    void messageBox(std::string_view text, std::string_view caption) override;
    void registerClass(const platform::WindowClass& windowClass) override;
    platform::WindowHandle createWindow(const platform::WindowRequest& request) override;
    void showWindow(platform::WindowHandle window) override;
    void setForegroundWindow(platform::WindowHandle window) override;
    void setFocus(platform::WindowHandle window) override;
    platform::WindowRect clientRect(platform::WindowHandle window) override;
    bool drawPicture(platform::WindowHandle window, platform::Bitmap& picture, int x, int y, int width,
                     int height) override;
    void destroyWindow(platform::WindowHandle window) override;
    void minimizeWindow(platform::WindowHandle window) override;
    void holdFullScreen(platform::WindowHandle window) override;
    void releaseFullScreen(platform::WindowHandle window) override;
    platform::ContextHandle createGLContext(platform::WindowHandle window) override;
    void makeCurrent(platform::WindowHandle window, platform::ContextHandle context) override;
    void deleteGLContext(platform::ContextHandle context) override;
    void swapBuffers(platform::WindowHandle window) override;
    bool peekMessage(platform::Message& message) override;
    void waitMessage(double seconds) override;
    int refreshRate(platform::WindowHandle window) override;
    void translateMessage(const platform::Message& message) override;
    std::intptr_t dispatchMessage(const platform::Message& message) override;
    void postQuitMessage(int exitCode) override;
    std::intptr_t defWindowProc(platform::WindowHandle window, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;
    void startAudio(platform::AudioSource& source) override;
    void stopAudio() override;
    void startSpeech(const platform::SpeechRequest& request, platform::SpeechSink& sink) override;
    void stopSpeech() override;

    // The source startAudio was given, until stopAudio; tests render from it.
    platform::AudioSource* audioSource = nullptr;
    // The request and sink startSpeech was given, until stopSpeech.
    platform::SpeechRequest speechRequest;
    platform::SpeechSink* speechSink = nullptr;

private:
    void deliver(const std::vector<platform::Message>& messages);

    platform::WindowProcedure procedure = nullptr;
    platform::Clock* previousClock = nullptr;
};

} // namespace testing_support
