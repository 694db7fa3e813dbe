// Reading the splash picture from a file. The format is told by the file's
// first bytes, not its name: JPEG, PNG, GIF and BMP, the formats parents'
// photos and drawings come in; anything else counts as undecodable. Each
// format has its own streaming decoder (Decode*.cpp) that writes into a
// canvas no larger than the splash needs, so neither the file nor the picture
// at its full size is ever held in memory. Nothing here knows a drawing
// library: the pixels are plain words, for any backend to wrap.
#pragma once

#include "platform/picture/PictureCanvas.h"

namespace platform {

// Decodes the picture for stretching over a coverWidth x coverHeight area.
// Ok with the pixels, or why not (FileNotFound, AccessDenied,
// UnknownImageFormat, OutOfMemory, ...) with none. Prints nothing.
Status readPicture(const char* fileName, int coverWidth, int coverHeight, PicturePixels& picture);

} // namespace platform
