// The keeper on SDL's X11 driver: the toy asks the window manager itself for
// full screen and the top, puts itself back over panels stacked above it,
// tells another window taking the keyboard from its own restacking, and
// waits on the X connection rather than in SDL's wait.
#pragma once

#include "platform/sdl/SdlKeeper.h"

#include <memory>

namespace platform {

// Takes over the X connection's lost-connection handling from here on.
std::unique_ptr<SdlKeeper> makeX11Keeper(SdlWindows& windows);

} // namespace platform
