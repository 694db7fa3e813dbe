// Painting a string as the scene's painters do (white, then the text centred
// both ways) and measuring where its ink landed, for the drawing contract.
#pragma once

#include "platform/draw/Bitmap.h"
#include "platform/draw/Font.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/SolidBrush.h"
#include "platform/draw/StringFormat.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace drawing_tests {

struct Painted {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgra;
    platform::Status status = platform::Status::Ok;

    const std::uint8_t* at(int x, int y) const { return bgra.data() + (static_cast<std::size_t>(y) * width + x) * 4; }
    // 0 on white, up to 255.
    int darkness(int x, int y) const
    {
        const std::uint8_t* p = at(x, y);
        return 255 - std::min({p[0], p[1], p[2]});
    }
};

// Copies out the locked pixels of the whole bitmap.
inline Painted pixelsOf(platform::Bitmap& bitmap)
{
    Painted result;
    const auto width = static_cast<int>(bitmap.getWidth());
    const auto height = static_cast<int>(bitmap.getHeight());
    platform::BitmapData data;
    if (bitmap.lockBits({0, 0, width, height}, &data) != platform::Status::Ok)
        return result;
    result.width = width;
    result.height = height;
    result.bgra.assign(data.scan0, data.scan0 + static_cast<std::size_t>(width) * height * 4);
    bitmap.unlockBits(&data);
    return result;
}

// White, then `text` (its first `length` characters; -1: all) in `color`,
// laid out in `rect` (the whole bitmap when empty) centred both ways, or as
// the library lays it out unformatted when `centred` is false.
inline Painted paint(const platform::Font* font, const char16_t* text, int length, int width, int height,
                     platform::RectF rect = {}, platform::ARGB color = 0xFF000000, bool centred = true)
{
    using namespace platform;
    if (rect.width == 0)
        rect = RectF{0, 0, static_cast<float>(width), static_cast<float>(height)};
    Bitmap bitmap(width, height);
    Status status = Status::Ok;
    {
        Graphics graphics(&bitmap);
        SolidBrush white(0xFFFFFFFF), ink(color);
        graphics.fillRectangle(&white, 0, 0, width, height);
        StringFormat format(0, 0);
        format.setAlignment(StringAlignmentCenter);
        format.setLineAlignment(StringAlignmentCenter);
        status = graphics.drawString(text, length, font, rect, centred ? &format : nullptr, &ink);
    }
    Painted result = pixelsOf(bitmap);
    result.status = status;
    return result;
}

inline Painted paint(const platform::Font* font, const char16_t* text, int width, int height,
                     platform::ARGB color = 0xFF000000)
{
    return paint(font, text, -1, width, height, {}, color);
}

struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int pixels = 0;
    int darkest = 0;
    double centreX() const { return (left + right + 1) / 2.0; }
    double centreY() const { return (top + bottom + 1) / 2.0; }
};

inline Ink inkOf(const Painted& card, int fromY = 0, int toY = -1)
{
    Ink ink;
    for (int y = fromY; y < (toY < 0 ? card.height : toY); ++y)
        for (int x = 0; x < card.width; ++x) {
            const int dark = card.darkness(x, y);
            ink.darkest = std::max(ink.darkest, dark);
            if (dark < 96)
                continue;
            ++ink.pixels;
            ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

// Runs of inked rows separated by blank ones: the lines of text.
inline int textLines(const Painted& card)
{
    int lines = 0;
    bool inLine = false;
    for (int y = 0; y < card.height; ++y) {
        bool inked = false;
        for (int x = 0; x < card.width && !inked; ++x)
            inked = card.darkness(x, y) >= 96;
        lines += inked && !inLine;
        inLine = inked;
    }
    return lines;
}

} // namespace drawing_tests
