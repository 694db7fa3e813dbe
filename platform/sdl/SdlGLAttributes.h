// The GL attributes every OpenGL window of the toy is made with.
#pragma once

namespace platform {

// What the frame's context needs: double buffering, 8 bits per colour, a depth
// buffer of at least 16 bits, and the old fixed-function pipeline. Set before
// the window is made.
void setFrameGLAttributes();

} // namespace platform
