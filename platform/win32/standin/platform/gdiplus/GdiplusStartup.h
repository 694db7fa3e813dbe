// Starting and stopping GDI+ for the platform's startDrawing and stopDrawing,
// for builds without the GDI+ drawing part: the same two calls it offers.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

namespace platform {

// GDI+'s status (0 when usable); on failure lastError is the system's last
// error code, for the program's exit code.
int startGdiplus(std::uintptr_t* token, const DrawingStartupInput& input, unsigned& lastError);
// A zero token (a start that failed) does nothing.
void stopGdiplus(std::uintptr_t token);

} // namespace platform
