// The message queue the frame's loop polls: messages translated from SDL's
// events, a close for a polite signal, and the quit message. Like the desktop
// system's, the quit message comes only once nothing else is waiting, and the
// default handling turns Alt+F4 into a close.
#include "platform/SdlPlatform.h"

#include "platform/SdlPlatformState.h"
#include "platform/Signals.h"

namespace platform {

SdlPlatform::State::Window* SdlPlatform::State::find(WindowHandle handle)
{
    for (Window& window : windows) {
        if (window.handle == handle)
            return &window;
    }
    return nullptr;
}

std::intptr_t SdlPlatform::State::send(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                       std::intptr_t lParam)
{
    if (procedure == nullptr || find(window) == nullptr)
        return 0;
    return procedure(window, message, wParam, lParam);
}

void SdlPlatform::State::post(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    queue.push_back({window, message, wParam, lParam});
}

void SdlPlatform::State::reportSize(Window& window, unsigned width, unsigned height, bool sendNow)
{
    if (width == window.width && height == window.height)
        return;
    window.width = width;
    window.height = height;
    const std::uintptr_t kind = window.minimized ? 1 : 0; // SIZE_MINIMIZED or SIZE_RESTORED
    const WindowHandle handle = window.handle;
    if (sendNow)
        send(handle, WM_SIZE, kind, makeLParam(width, height));
    else
        post(handle, WM_SIZE, kind, makeLParam(width, height));
}

void SdlPlatform::State::reportActivation(Window& window, unsigned activeState, bool sendNow)
{
    // The high word is the window's minimized state whatever the news is, so a
    // focus loss after minimizing does not wake the frame up again.
    const std::uintptr_t wParam = makeWParam(activeState, window.minimized ? 1 : 0);
    if (wParam == window.activation)
        return;
    window.activation = wParam;
    const WindowHandle handle = window.handle;
    if (sendNow)
        send(handle, WM_ACTIVATE, wParam, 0);
    else
        post(handle, WM_ACTIVATE, wParam, 0);
}

bool SdlPlatform::peekMessage(Message& message)
{
    if (!state->initialized)
        return false;
    if (state->queue.empty())
        pumpSdlEvents(*state);
    if (State::Window* window = state->mainWindow(); window != nullptr && signals::takeCloseRequest())
        state->post(window->handle, WM_CLOSE);

    if (!state->queue.empty()) {
        message = state->queue.front();
        state->queue.pop_front();
        return true;
    }
    if (state->quitPosted) {
        state->quitPosted = false;
        message = {0, WM_QUIT, static_cast<std::uintptr_t>(state->quitCode), 0};
        return true;
    }
    return false;
}

void SdlPlatform::translateMessage(const Message&)
{
    // Character messages would come from here; the toy reads key-downs only.
}

std::intptr_t SdlPlatform::dispatchMessage(const Message& message)
{
    return state->send(message.window, message.message, message.wParam, message.lParam);
}

void SdlPlatform::postQuitMessage(int exitCode)
{
    state->quitPosted = true;
    state->quitCode = exitCode;
}

std::intptr_t SdlPlatform::defWindowProc(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam)
{
    // Without a window manager nobody else turns Alt+F4 into a close.
    if (message == WM_SYSKEYDOWN && wParam == static_cast<std::uintptr_t>(VK_F4) && (lParam & KF_ALTDOWN_BIT) != 0)
        state->send(window, WM_CLOSE);
    return 0;
}

} // namespace platform
