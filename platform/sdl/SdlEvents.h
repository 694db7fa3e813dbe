// SDL's events turned into the frame's window messages.
#pragma once

namespace platform {

class SdlWindows;

// Moves every waiting SDL event into the message queue, never waiting, and
// keeps full-screen windows above anything stacked over them.
void pumpSdlEvents(SdlWindows& windows);

} // namespace platform
