// Drawing into a Bitmap's pixels: opaque fills and laid-out text. Each call's
// failure is kept as the last status and otherwise ignored, as the painters
// expect.
#pragma once

#include "platform/Rect.h"
#include "platform/Status.h"

#include <memory>

namespace platform {

class Bitmap;
class Font;
class SolidBrush;
class StringFormat;

class Graphics {
public:
    // A context on the bitmap; fails (kept in the status) when it holds no pixels.
    explicit Graphics(Bitmap* bitmap);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    Status fillRectangle(const SolidBrush* brush, int x, int y, int width, int height);
    // Draws text (length -1: up to its terminator) in the rectangle, laid out as
    // the format says, wrapped at word breaks where one line does not fit. A null
    // or unusable font draws nothing and fails.
    Status drawString(const char16_t* text, int length, const Font* font, const RectF& layoutRect,
                      const StringFormat* format, const SolidBrush* brush);

    Status getLastStatus() const { return lastStatus; }

private:
    Status remember(Status status);

    struct Impl;
    std::unique_ptr<Impl> implementation;
    Status lastStatus = Status::Ok;
};

} // namespace platform
