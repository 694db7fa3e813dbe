// A picture file opened for decoding: only a regular file, opened so that the
// open itself never waits (a FIFO with no writer, a device), and read no
// further than a fixed bound. Decoders read it in order through read(), or at
// an offset through readAt(); neither ever reads past the bound.
#pragma once

#include "platform/Status.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

class PictureFile {
public:
    // Any real photo fits in this many bytes, a 100-megapixel bitmap of 32
    // bits a pixel included; a longer file is not read at all.
    static constexpr std::uint64_t maxBytes = 512ull << 20;

    // Ok, FileNotFound, AccessDenied (a folder too), or UnknownImageFormat for
    // anything but a regular file and for a file past the bound.
    explicit PictureFile(const char* fileName);
    ~PictureFile();
    PictureFile(const PictureFile&) = delete;
    PictureFile& operator=(const PictureFile&) = delete;

    Status status() const { return openStatus; }
    // The file's size when opened, at most maxBytes.
    std::uint64_t size() const { return fileSize; }

    // Reads up to `count` bytes at the current position; fewer only at the end
    // of the file (or the bound) or after a read error, which failed() tells.
    // Small reads are served from a buffer: decoders ask for a few bytes at a
    // time.
    std::size_t read(void* buffer, std::size_t count);
    void seek(std::uint64_t offset);
    // True if all `count` bytes at `offset` were read; leaves the position alone.
    bool readAt(std::uint64_t offset, void* buffer, std::size_t count);
    bool failed() const { return readFailed; }

private:
    std::size_t readFrom(std::uint64_t offset, void* buffer, std::size_t count);

#ifdef _WIN32
    void* handle = nullptr; // the file's HANDLE, null when none is open
#else
    int descriptor = -1;
#endif
    Status openStatus = Status::FileNotFound;
    std::uint64_t fileSize = 0;
    std::uint64_t position = 0; // of the next byte read() hands out
    bool readFailed = false;
    std::unique_ptr<std::uint8_t[]> ahead; // bytes read before read() hands them out
    std::size_t aheadSize = 0;
    std::size_t aheadAt = 0; // how many of them read() has handed out
};

} // namespace platform
