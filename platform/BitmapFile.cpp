// A bitmap decoded from a picture file. The format is told by the file's first
// bytes, not its name: JPEG, PNG, GIF and BMP, the formats parents' photos and
// drawings come in; anything else counts as undecodable. Each format has its
// own streaming decoder (Decode*.cpp) that writes into a canvas no larger than
// the splash needs, so neither the file nor the picture at its full size is
// ever held in memory. Every failure leaves a bitmap with no picture and a
// status, and prints nothing.
#include "platform/Bitmap.h"

#include "platform/CairoImpl.h"
#include "platform/PictureDecoders.h"

#include <cstring>
#include <new>

namespace platform {

PictureDecoder decoderFor(const std::uint8_t* head, std::size_t length)
{
    const auto startsWith = [head, length](const char* magic, std::size_t size) {
        return length >= size && std::memcmp(head, magic, size) == 0;
    };
    if (startsWith("\xff\xd8\xff", 3))
        return decodeJpeg;
    if (startsWith("\x89PNG\r\n\x1a\n", 8))
        return decodePng;
    if (startsWith("GIF87a", 6) || startsWith("GIF89a", 6))
        return decodeGif;
    if (startsWith("BM", 2))
        return decodeBmp;
    return nullptr;
}

Bitmap::Bitmap(const char* fileName, int coverWidth, int coverHeight) : implementation(std::make_unique<Impl>())
{
    PictureFile file(fileName);
    if (file.status() != Status::Ok) {
        remember(file.status());
        return;
    }
    std::uint8_t head[8] = {};
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), sizeof head));
    const PictureDecoder decode = file.readAt(0, head, length) ? decoderFor(head, length) : nullptr;
    if (!decode) {
        remember(Status::UnknownImageFormat);
        return;
    }
    PictureCanvas canvas(coverWidth, coverHeight);
    Status decoded = Status::OutOfMemory;
    try {
        decoded = decode(file, canvas);
    } catch (const std::bad_alloc&) {
        decoded = Status::OutOfMemory;
    }
    if (decoded != Status::Ok) {
        remember(decoded);
        return;
    }
    implementation->surface = canvas.finish();
}

} // namespace platform
