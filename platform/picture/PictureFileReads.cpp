// Reading a picture file in order and at offsets, the same on every system:
// small reads are served from a buffer filled by the system's readFrom()
// (PictureFile.cpp on POSIX, PictureFileWin32.cpp on Windows).
#include "platform/picture/PictureFile.h"

#include <algorithm>

namespace platform {

std::size_t PictureFile::read(void* buffer, std::size_t count)
{
    constexpr std::size_t chunk = 64 * 1024;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        if (aheadAt == aheadSize) {
            if (count - done >= chunk) { // large reads go straight to the caller
                const std::size_t got = readFrom(position, out + done, count - done);
                position += got;
                return done + got;
            }
            if (!ahead)
                ahead = std::make_unique_for_overwrite<std::uint8_t[]>(chunk);
            aheadSize = readFrom(position, ahead.get(), chunk);
            aheadAt = 0;
            if (aheadSize == 0)
                break;
        }
        const std::size_t take = std::min(count - done, aheadSize - aheadAt);
        std::copy_n(ahead.get() + aheadAt, take, out + done);
        aheadAt += take;
        done += take;
        position += take;
    }
    return done;
}

void PictureFile::seek(std::uint64_t offset)
{
    position = offset;
    aheadSize = aheadAt = 0;
}

bool PictureFile::readAt(std::uint64_t offset, void* buffer, std::size_t count)
{
    return readFrom(offset, buffer, count) == count;
}

} // namespace platform
