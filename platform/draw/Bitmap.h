// A picture in memory: either an empty 32-bit ARGB surface that owns its pixels,
// painted through Graphics, or a picture decoded from a file.
#pragma once

#include "platform/Rect.h"
#include "platform/Status.h"

#include <cstdint>
#include <memory>

namespace platform {

// What lockBits hands out: rows from the top down, each pixel the bytes blue,
// green, red, alpha (premultiplied), rows tightly packed at 4 * width bytes.
struct BitmapData {
    unsigned width = 0;
    unsigned height = 0;
    int stride = 0;
    const std::uint8_t* scan0 = nullptr;
};

class Bitmap {
public:
    // An empty (transparent black) width x height ARGB surface. On failure the
    // object exists, holds no pixels and keeps the failure status.
    Bitmap(int width, int height);
    // A picture decoded from a file, by path relative to the working directory
    // (JPEG, PNG, GIF or BMP, told by the contents). It is meant to be
    // stretched over a coverWidth x coverHeight area, so a larger picture is
    // decoded reduced, in each direction to no less than 15/16 of the area
    // (a stretch that small cannot be seen) and less than twice that. A
    // missing, unreadable or undecodable file, anything but a regular file,
    // and a picture whose header claims more than 100 megapixels give an
    // object that holds no picture, keeps a failure status and says nothing.
    explicit Bitmap(const char* fileName, int coverWidth = 1024, int coverHeight = 768);
    ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    // 0 when the bitmap holds no picture.
    unsigned getWidth();
    unsigned getHeight();

    // Locks the rectangle for reading, with all drawing flushed into the
    // pixels first. Fails when the bitmap holds no picture, is locked already or
    // the rectangle is not inside it.
    Status lockBits(const Rect& rect, BitmapData* data);
    Status unlockBits(BitmapData* data);

    Status getLastStatus() const { return lastStatus; }

    // What the drawing library holds inside; only that library's code and its
    // Graphics see it.
    struct Impl;

private:
    friend class Graphics;
    Impl* impl() { return implementation.get(); }
    Status remember(Status status);

    std::unique_ptr<Impl> implementation;
    Status lastStatus = Status::Ok;
};

} // namespace platform
