// What the stand-alone build leaves out of the picture reader: the file
// reading (a plain C stream; the Windows build has its own) and the JPEG and
// PNG decoders, which answer that they do not know the file.
#include "platform/picture/PictureDecoders.h"

#include <cstdio>

namespace platform {

PictureFile::PictureFile(const char* fileName)
{
    std::FILE* stream = fileName ? std::fopen(fileName, "rb") : nullptr;
    if (!stream)
        return;
    std::fseek(stream, 0, SEEK_END);
    fileSize = static_cast<std::uint64_t>(std::ftell(stream));
    std::fclose(stream);
    ahead = std::make_unique<std::uint8_t[]>(fileSize + 1);
    stream = std::fopen(fileName, "rb");
    aheadSize = stream ? std::fread(ahead.get(), 1, fileSize, stream) : 0;
    if (stream)
        std::fclose(stream);
    openStatus = aheadSize == fileSize ? Status::Ok : Status::AccessDenied;
}

PictureFile::~PictureFile() = default;

std::size_t PictureFile::readFrom(std::uint64_t offset, void* buffer, std::size_t count)
{
    if (offset >= fileSize)
        return 0;
    const std::size_t available = static_cast<std::size_t>(fileSize - offset);
    const std::size_t done = count < available ? count : available;
    std::copy(ahead.get() + offset, ahead.get() + offset + done, static_cast<std::uint8_t*>(buffer));
    return done;
}

std::size_t PictureFile::read(void* buffer, std::size_t count)
{
    const std::size_t done = readFrom(position, buffer, count);
    position += done;
    return done;
}

void PictureFile::seek(std::uint64_t offset)
{
    position = offset;
}

bool PictureFile::readAt(std::uint64_t offset, void* buffer, std::size_t count)
{
    return readFrom(offset, buffer, count) == count;
}

Status decodeJpeg(PictureFile&, PictureCanvas&)
{
    return Status::UnknownImageFormat;
}

Status decodePng(PictureFile&, PictureCanvas&)
{
    return Status::UnknownImageFormat;
}

} // namespace platform
