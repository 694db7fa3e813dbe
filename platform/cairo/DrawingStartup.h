// Starting the drawing library that stands in on this platform: Cairo with
// Pango, whose one start-up step that can fail is fontconfig's configuration.
#pragma once

namespace platform::cairo {

// True when fonts can be found; otherwise false with the errno that says why
// (0 if none was set).
bool startDrawing(unsigned& error);

} // namespace platform::cairo
