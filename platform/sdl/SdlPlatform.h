// The platform on SDL2: display mode, window, GL context, events turned into
// window messages with Windows virtual-key codes, message boxes, the counter,
// sound out and speech (SdlAudio.cpp, SdlSpeech.cpp),
// and the full-screen window's hold, kept with the help of the keeper chosen
// for the driver SDL runs on. Each concern has its file (SdlWindow.cpp,
// SdlGLContext.cpp, SdlDisplayMode.cpp, SdlMessages.cpp, SdlMessageBox.cpp,
// SdlPicture.cpp, SdlKeeper.cpp). The header names no SDL type; everything
// SDL stays in the .cpp files.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class AudioPlayer;
class EspeakSpeech;
class MessageQueue;
class SdlKeeper;
class SdlWindows;

class SdlPlatform : public Platform {
public:
    SdlPlatform();
    ~SdlPlatform() override;

    // False when no video subsystem could be started (no display); then
    // initError() says why and nothing else may be called.
    bool initialized() const;
    const std::string& initError() const;

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
    // The exact display mode changeDisplayMode found; it takes effect when the
    // full-screen window is shown.
    struct FullScreenMode {
        bool chosen = false;
        std::uint32_t format = 0;
        int width = 0;
        int height = 0;
        int refreshRate = 0;
    };
    bool desktopIsInMode() const;
    // Gives the full-screen window the chosen mode, to take effect when it
    // shows; false if SDL refuses it.
    bool useFullScreenMode(WindowHandle window);
    void keepKeyboardAndPointer(WindowHandle window);

    bool videoStarted = false;
    std::string startError;
    unsigned lastErrorCode = 0;
    // Why the last window made has no OpenGL; empty if it has.
    std::string glError;
    FullScreenMode fullScreenMode;
    std::unique_ptr<MessageQueue> queue;
    std::unique_ptr<SdlWindows> windows;
    // Chosen once SDL has started; keeps nothing before.
    std::unique_ptr<SdlKeeper> keeper;
    std::unique_ptr<AudioPlayer> audio;
    std::unique_ptr<EspeakSpeech> speech;
    // Sound and speech asked for before the first frame is on screen wait
    // for it (SdlAudio.cpp, SdlSpeech.cpp); null when nothing waits.
    AudioSource* waitingAudio = nullptr;
    std::unique_ptr<SpeechRequest> waitingSpeech;
    SpeechSink* waitingSink = nullptr;
    bool frameShown = false;
    void startWaitingAudio();
    void startWaitingSpeech();
};

} // namespace platform
