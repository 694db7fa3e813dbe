// All 41 of the scene's textures in one picture, painted through the drawing
// interfaces exactly as the cubes and the exit card paint theirs, so the
// Linux (Cairo) and Windows (GDI+) builds can be compared by eye. The cells'
// colours come from a fixed sequence, not rand(), whose sequence differs
// between C libraries: both sheets get the same colours.
#pragma once

namespace testing_support {

// Writes a 32-bit BMP: the 40 cube strips (128 x 768 each) in two rows of
// twenty, and the exit card (128 x 64) below them. False if any texture could
// not be painted or the file not written.
bool writeTextureSheet(const char* path);

} // namespace testing_support
