// The platform contract's fixture, and what it needs beside Platform.h to watch a platform keep
// its promises: the platform itself, and the few things only the desktop can
// do to a window (press a key, close it from outside, show what is on the
// screen). Each backend's rig does them with its own system's tools; where it
// cannot, it says why, and the case that needs it skips with that reason.
#pragma once

#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace contract {

class PlatformRig {
public:
    virtual ~PlatformRig() = default;

    // Empty when the platform can be used here; else why not (no display).
    virtual std::string unusable() const { return {}; }
    virtual platform::Platform& platform() = 0;

    // Why this platform has no screen to show windows on; empty if it has one.
    // Without one: no picture to read, no GL, no real minimizing.
    virtual std::string noScreen() const { return {}; }

    // Why windows cannot be minimized here; empty if they can.
    virtual std::string cannotMinimize() const { return noScreen(); }

    // Called before each window is made, with the request: a rig standing in
    // for a desktop sets up what that desktop would send.
    virtual void aboutToCreate(const platform::WindowRequest&) {}

    // The window's title as the desktop shows it; nullopt where it cannot be read.
    virtual std::optional<std::string> title(platform::WindowHandle window) = 0;
    // Whether the desktop sees a borderless window over the whole screen (true)
    // or a titled one (false); nullopt where it cannot tell.
    virtual std::optional<bool> fullScreen(platform::WindowHandle window) = 0;

    // Presses and releases the key with this virtual-key code as a user
    // would, into the focused window; empty on success, else why it cannot.
    virtual std::string pressKey(platform::WindowHandle window, int virtualKey) = 0;
    // Asks the window to close as the desktop's close button does; empty on
    // success, else why it cannot.
    virtual std::string closeFromOutside(platform::WindowHandle window) = 0;
    // The colour on screen at a point of the window's client area, 0xRRGGBB;
    // nullopt where it cannot be read.
    virtual std::optional<std::uint32_t> screenPixel(platform::WindowHandle window, int x, int y) = 0;

    // Whether a GL context's glGetString answers here; empty if so.
    virtual std::string noGL() const { return {}; }

    // Why this platform makes no sound or speech of its own; empty if it does.
    virtual std::string silent() const { return {}; }
};

// A named way to make a rig, one per platform the contract runs on.
struct RigMaker {
    const char* name;
    std::function<std::unique_ptr<PlatformRig>()> make;
};

inline void PrintTo(const RigMaker& maker, std::ostream* out)
{
    *out << maker.name;
}

// The contract's cases, each run on a fresh rig of the platform it is given.
class PlatformContract : public ::testing::TestWithParam<RigMaker> {
protected:
    void SetUp() override;
    void TearDown() override;

    // A window of the test class, kept until the case ends; windowed ones
    // have a client area of 640 x 480 at (64, 64), full-screen ones 1024 x 768.
    platform::WindowHandle open(bool fullScreen, bool show = true);
    // Hands each waiting message to its procedure until `done` says so or
    // `seconds` pass; false if they passed.
    bool pumpUntil(const std::function<bool()>& done, double seconds = 5.0);
    // Hands every message that comes for `seconds` to its procedure.
    void pumpFor(double seconds);

    std::unique_ptr<PlatformRig> rig;
    platform::Platform* platform = nullptr;
    std::vector<platform::WindowHandle> windows;
};

// The name of each case's platform in the test's name.
inline std::string rigName(const ::testing::TestParamInfo<RigMaker>& info)
{
    return info.param.name;
}

} // namespace contract
