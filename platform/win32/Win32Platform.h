// The platform on Win32: the display mode, the window and its messages, WGL,
// message boxes and the performance counter, called as the frame asks for
// them. One file a concern (Win32Window.cpp, Win32GLContext.cpp, ...); this
// object owns the state they keep. The header names no Windows type;
// everything Windows stays in the .cpp files and the backend's own headers.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <memory>

namespace platform {

namespace win32 {
struct BackendState;
class Worker;
struct WorkerStop {
    void operator()(Worker* worker) const;
};
} // namespace win32

class Win32Platform : public Platform {
public:
    // `instance` is the module's HINSTANCE, as wWinMain is given it.
    explicit Win32Platform(void* instance);
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    int startDrawing(std::uintptr_t* token, const DrawingStartupInput& input) override;
    void stopDrawing(std::uintptr_t token) override;
    unsigned lastError() override;

    bool changeDisplayMode(int width, int height, int bitsPerPixel) override;
    void showCursor(bool show) override;
    void messageBox(std::string_view text, std::string_view caption) override;

    void registerClass(const WindowClass& windowClass) override;
    WindowHandle createWindow(const WindowRequest& request) override;
    void showWindow(WindowHandle window) override;
    void setForegroundWindow(WindowHandle window) override;
    void setFocus(WindowHandle window) override;
    WindowRect clientRect(WindowHandle window) override;
    bool drawPicture(WindowHandle window, Bitmap& picture, int x, int y, int width, int height) override;
    void destroyWindow(WindowHandle window) override;

    void minimizeWindow(WindowHandle window) override;
    void holdFullScreen(WindowHandle window) override;
    void releaseFullScreen(WindowHandle window) override;

    ContextHandle createGLContext(WindowHandle window) override;
    void makeCurrent(WindowHandle window, ContextHandle context) override;
    void deleteGLContext(ContextHandle context) override;
    void swapBuffers(WindowHandle window) override;

    bool peekMessage(Message& message) override;
    void waitMessage(double seconds) override;
    int refreshRate(WindowHandle window) override;
    void translateMessage(const Message& message) override;
    std::intptr_t dispatchMessage(const Message& message) override;
    void postQuitMessage(int exitCode) override;
    std::intptr_t defWindowProc(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;

    void startAudio(AudioSource& source) override;
    void stopAudio() override;
    void startSpeech(const SpeechRequest& request, SpeechSink& sink) override;
    void stopSpeech() override;

private:
    std::unique_ptr<win32::BackendState> state;
    // The threads that play sound and make speech (Win32Audio.cpp, Win32Speech.cpp);
    // declared last, so they stop first.
    std::unique_ptr<win32::Worker, win32::WorkerStop> audio;
    std::unique_ptr<win32::Worker, win32::WorkerStop> speech;
};

} // namespace platform
