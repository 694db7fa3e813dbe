#include "platform/picture/PictureReader.h"

#include "platform/picture/PictureDecoders.h"

#include <algorithm>
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

Status readPicture(const char* fileName, int coverWidth, int coverHeight, PicturePixels& picture)
{
    picture = {};
    PictureFile file(fileName);
    if (file.status() != Status::Ok)
        return file.status();
    std::uint8_t head[8] = {};
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), sizeof head));
    const PictureDecoder decode = file.readAt(0, head, length) ? decoderFor(head, length) : nullptr;
    if (!decode)
        return Status::UnknownImageFormat;
    PictureCanvas canvas(coverWidth, coverHeight);
    Status decoded = Status::OutOfMemory;
    try {
        decoded = decode(file, canvas);
    } catch (const std::bad_alloc&) {
        decoded = Status::OutOfMemory;
    }
    if (decoded == Status::Ok)
        picture = canvas.finish();
    return decoded;
}

} // namespace platform
