// What reading a picture costs under the fuzz build, for choosing the fuzzers'
// memory limits: the largest single block asked for, the peak of the heap and
// of resident memory, each above where it stood before the read.
//
//   measure_picture FILE [COVER_WIDTH COVER_HEIGHT]   (the cover defaults to 1024x768)
#include "platform/picture/PictureReader.h"

#include <sanitizer/allocator_interface.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

std::atomic<std::size_t> largest{0}, peak{0};

void noteAllocation(const volatile void*, std::size_t size)
{
    if (size > largest)
        largest = size;
    const std::size_t now = __sanitizer_get_current_allocated_bytes();
    if (now > peak)
        peak = now;
}

void noteFree(const volatile void*) {}

long residentKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: measure_picture FILE [COVER_WIDTH COVER_HEIGHT]\n");
        return 2;
    }
    const int coverWidth = argc == 4 ? std::atoi(argv[2]) : 1024, coverHeight = argc == 4 ? std::atoi(argv[3]) : 768;
    std::ofstream("/proc/self/clear_refs") << "5";
    const long residentBefore = residentKb("VmRSS:");
    const std::size_t heapBefore = __sanitizer_get_current_allocated_bytes();
    __sanitizer_install_malloc_and_free_hooks(noteAllocation, noteFree);
    platform::PicturePixels picture;
    const platform::Status status = platform::readPicture(argv[1], coverWidth, coverHeight, picture);
    const std::size_t heapPeak = peak > heapBefore ? peak - heapBefore : 0;
    std::printf("%s: status %d, %dx%d; largest block %.1f MB, heap peak +%.1f MB, resident peak +%.1f MB\n", argv[1],
                static_cast<int>(status), picture.width, picture.height, static_cast<double>(largest) / (1 << 20),
                static_cast<double>(heapPeak) / (1 << 20),
                static_cast<double>(residentKb("VmHWM:") - residentBefore) / 1024.0);
    return 0;
}
