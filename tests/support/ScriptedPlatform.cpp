#include "tests/support/ScriptedPlatform.h"

#include "platform/draw/Bitmap.h"

#include <algorithm>
#include <cmath>

using namespace platform;

namespace testing_support {

ScriptedPlatform::ScriptedPlatform()
{
    previousClock = setClock(&clock);
}

ScriptedPlatform::~ScriptedPlatform()
{
    setClock(previousClock);
}

void ScriptedPlatform::post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    queue.push_back({windowHandle, message, wParam, lParam});
}

bool ScriptedPlatform::called(const std::string& call) const
{
    return indexOf(call) >= 0;
}

int ScriptedPlatform::indexOf(const std::string& call) const
{
    auto found = std::find(calls.begin(), calls.end(), call);
    return found == calls.end() ? -1 : static_cast<int>(found - calls.begin());
}

int ScriptedPlatform::startDrawing(std::uintptr_t* token, const DrawingStartupInput& input)
{
    calls.push_back("startDrawing " + std::to_string(input.version));
    *token = 42;
    return drawingStatus;
}

void ScriptedPlatform::stopDrawing(std::uintptr_t token)
{
    calls.push_back("stopDrawing " + std::to_string(token));
}

unsigned ScriptedPlatform::lastError()
{
    calls.push_back("lastError");
    return errorCode;
}

bool ScriptedPlatform::changeDisplayMode(int width, int height, int bitsPerPixel)
{
    calls.push_back("changeDisplayMode " + std::to_string(width) + "x" + std::to_string(height) + "x" +
                    std::to_string(bitsPerPixel));
    return displayModeAvailable;
}

void ScriptedPlatform::showCursor(bool show)
{
    calls.push_back(show ? "showCursor" : "hideCursor");
}

void ScriptedPlatform::messageBox(std::string_view text, std::string_view caption)
{
    calls.push_back("messageBox");
    boxes.push_back({std::string(text), std::string(caption)});
}

void ScriptedPlatform::registerClass(const WindowClass& windowClass)
{
    calls.push_back("registerClass");
    procedure = windowClass.procedure;
    lastClassName = std::string(windowClass.className);
}

WindowHandle ScriptedPlatform::createWindow(const WindowRequest& request)
{
    calls.push_back("createWindow");
    lastRequest = request;
    if (!windowCreation)
        return 0;
    deliver(onCreate);
    return windowHandle;
}

void ScriptedPlatform::showWindow(WindowHandle)
{
    calls.push_back("showWindow");
    deliver(onShow);
}

void ScriptedPlatform::setForegroundWindow(WindowHandle)
{
    calls.push_back("setForegroundWindow");
}
void ScriptedPlatform::setFocus(WindowHandle)
{
    calls.push_back("setFocus");
}

WindowRect ScriptedPlatform::clientRect(WindowHandle)
{
    calls.push_back("clientRect");
    return {0, 0, lastRequest.client.right - lastRequest.client.left,
            lastRequest.client.bottom - lastRequest.client.top};
}

bool ScriptedPlatform::drawPicture(WindowHandle, Bitmap& picture, int x, int y, int width, int height)
{
    calls.push_back("drawPicture " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" +
                    std::to_string(height));
    // As on a real platform: a picture that holds no pixels draws nothing.
    return picture.getWidth() != 0 && picture.getHeight() != 0;
}

void ScriptedPlatform::destroyWindow(WindowHandle)
{
    calls.push_back("destroyWindow");
}

ContextHandle ScriptedPlatform::createGLContext(WindowHandle)
{
    calls.push_back("createGLContext");
    return contextCreation ? contextHandle : 0;
}

void ScriptedPlatform::makeCurrent(WindowHandle window, ContextHandle context)
{
    calls.push_back(context == 0 ? "releaseContext" : "makeCurrent");
    contextCurrent = window != 0 && context != 0;
}

void ScriptedPlatform::deleteGLContext(ContextHandle)
{
    calls.push_back("deleteGLContext");
}
void ScriptedPlatform::swapBuffers(WindowHandle)
{
    calls.push_back("swapBuffers");
    if (onSwap)
        onSwap();
}

bool ScriptedPlatform::peekMessage(Message& message)
{
    if (queue.empty() && whenIdle)
        whenIdle();
    if (queue.empty())
        return false;
    message = queue.front();
    queue.pop_front();
    return true;
}

void ScriptedPlatform::waitMessage(double seconds)
{
    calls.push_back("waitMessage");
    waits.push_back({seconds, clock.now});
    if (queue.empty() && whileWaiting)
        whileWaiting(seconds);
    if (!queue.empty())
        return;
    if (seconds >= 0.0) {
        clock.now += std::llround(seconds * static_cast<double>(clock.ticksPerSecond));
    } else {
        ++unansweredWaits;
        post(WM_CLOSE);
    }
}

int ScriptedPlatform::refreshRate(WindowHandle)
{
    calls.push_back("refreshRate");
    return displayRefreshRate;
}

void ScriptedPlatform::translateMessage(const Message&) {}

std::intptr_t ScriptedPlatform::dispatchMessage(const Message& message)
{
    return procedure(message.window, message.message, message.wParam, message.lParam);
}

void ScriptedPlatform::postQuitMessage(int exitCode)
{
    calls.push_back("postQuitMessage " + std::to_string(exitCode));
    post(WM_QUIT, static_cast<std::uintptr_t>(exitCode));
}

std::intptr_t ScriptedPlatform::defWindowProc(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                              std::intptr_t lParam)
{
    // As on the desktop: Alt+F4 closes the window.
    if (message == WM_SYSKEYDOWN && wParam == static_cast<std::uintptr_t>(VK_F4) && (lParam & KF_ALTDOWN_BIT))
        return procedure(window, WM_CLOSE, 0, 0);
    return 0;
}

void ScriptedPlatform::deliver(const std::vector<Message>& messages)
{
    for (const Message& message : messages)
        procedure(windowHandle, message.message, message.wParam, message.lParam);
}

void ScriptedPlatform::minimizeWindow(WindowHandle)
{
    calls.push_back("minimizeWindow");
}

void ScriptedPlatform::holdFullScreen(WindowHandle)
{
    calls.push_back("holdFullScreen");
}

void ScriptedPlatform::releaseFullScreen(WindowHandle)
{
    calls.push_back("releaseFullScreen");
}

void ScriptedPlatform::startAudio(AudioSource& source)
{
    calls.push_back("startAudio");
    audioSource = &source;
}

void ScriptedPlatform::stopAudio()
{
    calls.push_back("stopAudio");
    audioSource = nullptr;
}

void ScriptedPlatform::startSpeech(const SpeechRequest& request, SpeechSink& sink)
{
    calls.push_back("startSpeech");
    speechRequest = request;
    speechSink = &sink;
}

void ScriptedPlatform::stopSpeech()
{
    calls.push_back("stopSpeech");
    speechSink = nullptr;
}

} // namespace testing_support
