// What every fuzz target shares: the fuzzer's bytes as a file the decoders
// open by name, and the promises a decoded picture keeps.
#pragma once

#include "platform/picture/PictureCanvas.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace fuzzing {

// A file in memory, opened by its /proc/self/fd name as any picture file is
// opened by its path: the same stat, open and pread the splash goes through.
class FuzzedFile {
public:
    FuzzedFile() : descriptor(memfd_create("picture", MFD_CLOEXEC)), name("/proc/self/fd/" + std::to_string(descriptor))
    {
        if (descriptor < 0) {
            std::perror("memfd_create");
            std::abort();
        }
    }

    // The file's name, holding exactly these bytes.
    const char* hold(const std::uint8_t* data, std::size_t size)
    {
        if (ftruncate(descriptor, 0) != 0)
            std::abort();
        for (std::size_t done = 0; done < size;) {
            const ssize_t written = pwrite(descriptor, data + done, size - done, static_cast<off_t>(done));
            if (written <= 0)
                std::abort();
            done += static_cast<std::size_t>(written);
        }
        return name.c_str();
    }

private:
    int descriptor;
    std::string name;
};

[[noreturn]] inline void broken(const char* promise)
{
    std::fprintf(stderr, "decoded picture breaks its promise: %s\n", promise);
    std::abort();
}

// A picture that came out is no wider or taller than twice what covers the
// area (PictureCanvas.h), holds its pixels, and every pixel is premultiplied:
// no channel above its alpha.
inline void checkPicture(const platform::PicturePixels& picture, int coverWidth, int coverHeight)
{
    using platform::PictureCanvas;
    if (!picture.pixels)
        broken("no pixels");
    if (picture.width <= 0 || picture.width >= 2 * PictureCanvas::enough(std::max(1, coverWidth)) ||
        picture.height <= 0 || picture.height >= 2 * PictureCanvas::enough(std::max(1, coverHeight)))
        broken("larger than twice the cover");
    const std::size_t count = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t pixel = picture.pixels[i], alpha = pixel >> 24;
        if ((pixel >> 16 & 0xff) > alpha || (pixel >> 8 & 0xff) > alpha || (pixel & 0xff) > alpha)
            broken("a channel above its alpha");
    }
}

} // namespace fuzzing
