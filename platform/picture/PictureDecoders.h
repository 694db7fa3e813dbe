// The decoders behind Bitmap(fileName), one a format, each of a file whose
// first bytes named that format. Each checks what the header claims against
// PictureCanvas::fits before anything of the picture's size is allocated, puts
// the picture on the canvas, and answers Ok or why not. None of them ever
// writes a word anywhere: their libraries' messages are swallowed.
#pragma once

#include "platform/picture/PictureCanvas.h"
#include "platform/picture/PictureFile.h"

#include <cstddef>
#include <cstdint>

namespace platform {

using PictureDecoder = Status (*)(PictureFile& file, PictureCanvas& canvas);

// The decoder for a file that starts with these bytes (at least 8 of them,
// fewer only for a shorter file), or null when none knows them.
PictureDecoder decoderFor(const std::uint8_t* head, std::size_t length);

Status decodeJpeg(PictureFile& file, PictureCanvas& canvas);
Status decodePng(PictureFile& file, PictureCanvas& canvas);
Status decodeGif(PictureFile& file, PictureCanvas& canvas);
Status decodeBmp(PictureFile& file, PictureCanvas& canvas);

} // namespace platform
