// What every drawing library's lockBits shares: which rectangles may be locked,
// and handing the rows out packed and from the top down whatever the library's
// own row layout (padded, or bottom-up with a negative stride).
#pragma once

#include "platform/Rect.h"
#include "platform/draw/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace platform {

// A non-empty rectangle wholly inside a width x height bitmap; written so that
// no sum can overflow.
inline bool lockableRect(const Rect& rect, int width, int height)
{
    return rect.x >= 0 && rect.y >= 0 && rect.width > 0 && rect.height > 0 && rect.x <= width - rect.width &&
           rect.y <= height - rect.height;
}

// Fills `data` with the rect's rows, `first` being its top-left pixel and
// `stride` the bytes from one row to the next below it: the pixels themselves
// where they are packed already, else a packed copy kept in `copy`.
inline void handOutRows(const Rect& rect, const std::uint8_t* first, std::ptrdiff_t stride,
                        std::vector<std::uint8_t>& copy, BitmapData* data)
{
    const int packedStride = rect.width * 4;
    if (stride == packedStride) {
        data->scan0 = first;
    } else {
        copy.resize(static_cast<std::size_t>(packedStride) * static_cast<std::size_t>(rect.height));
        for (int row = 0; row < rect.height; ++row)
            std::memcpy(copy.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(packedStride),
                        first + row * stride, static_cast<std::size_t>(packedStride));
        data->scan0 = copy.data();
    }
    data->width = static_cast<unsigned>(rect.width);
    data->height = static_cast<unsigned>(rect.height);
    data->stride = packedStride;
}

} // namespace platform
