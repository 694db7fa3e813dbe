// Shared by the SDL platform's tests: an SdlPlatform on the test's display (or
// on SDL's offscreen driver where there is none), a window procedure that
// records what it is given, and a way to feed SDL events in.
#pragma once

#include "platform/sdl/SdlPlatform.h"
#include "tests/support/fixtures/EnvironmentOverride.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sdl_test {

using testing_support::EnvironmentOverride;

inline std::vector<platform::Message> received;

inline std::intptr_t recordingProcedure(platform::WindowHandle window, unsigned message, std::uintptr_t wParam,
                                        std::intptr_t lParam)
{
    received.push_back({window, message, wParam, lParam});
    return message == 0x1234 ? 77 : 0;
}

inline bool hasDisplay()
{
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0';
}

class SdlPlatformTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!hasDisplay())
            driver.emplace("SDL_VIDEODRIVER", "offscreen");
        platform = std::make_unique<platform::SdlPlatform>();
        // An X server that resets when its last client leaves (as xvfb-run
        // starts it) refuses connections for a moment: try again for a while.
        const Uint64 deadline = SDL_GetTicks64() + 20000;
        while (!platform->initialized() && hasDisplay() && SDL_GetTicks64() < deadline) {
            platform.reset();
            SDL_Delay(50);
            platform = std::make_unique<platform::SdlPlatform>();
        }
        if (!platform->initialized())
            GTEST_SKIP() << "no SDL video: " << platform->initError();
        received.clear();
        platform->registerClass({recordingProcedure, "TestClass", 102});
    }

    void TearDown() override
    {
        platform.reset();
        driver.reset();
    }

    bool onX11() const { return std::string(SDL_GetCurrentVideoDriver()) == "x11"; }

    // A hidden window never shown gets no events from the server, so the
    // queue holds only what a test puts there.
    platform::WindowHandle makeWindow(bool fullScreen = false)
    {
        platform::WindowRequest request;
        request.className = "TestClass";
        request.title = "Zindle test";
        request.fullScreen = fullScreen;
        request.client = fullScreen ? platform::WindowRect{0, 0, 1024, 768} : platform::WindowRect{64, 64, 1088, 832};
        return platform->createWindow(request);
    }

    // Everything waiting, up to and including a quit message.
    std::vector<platform::Message> takeAll()
    {
        std::vector<platform::Message> messages;
        platform::Message message;
        while (platform->peekMessage(message)) {
            messages.push_back(message);
            if (message.message == platform::WM_QUIT)
                break;
        }
        return messages;
    }

    std::optional<EnvironmentOverride> driver;
    std::unique_ptr<platform::SdlPlatform> platform;
};

inline void pushWindowEvent(platform::WindowHandle window, SDL_WindowEventID id, int data1 = 0, int data2 = 0)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = static_cast<Uint32>(window);
    event.window.event = static_cast<Uint8>(id);
    event.window.data1 = data1;
    event.window.data2 = data2;
    SDL_PushEvent(&event);
}

inline void pushKey(platform::WindowHandle window, SDL_Keycode keycode, SDL_Scancode scancode,
                    Uint16 modifiers = KMOD_NONE, bool repeat = false, Uint32 type = SDL_KEYDOWN)
{
    SDL_Event event{};
    event.type = type;
    event.key.windowID = static_cast<Uint32>(window);
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = keycode;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = modifiers;
    SDL_PushEvent(&event);
}

} // namespace sdl_test

// Test-only comparison and printing of messages, found by argument lookup.
namespace platform {

inline bool operator==(const platform::Message& a, const platform::Message& b)
{
    return a.window == b.window && a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam;
}

inline void PrintTo(const platform::Message& m, std::ostream* out)
{
    *out << "{window " << m.window << ", message 0x" << std::hex << m.message << ", wParam 0x" << m.wParam
         << ", lParam 0x" << m.lParam << std::dec << "}";
}

} // namespace platform
