// Rectangles in whole pixels, in the two shapes the desktop system the frame
// was designed around uses: a window's edges (left, top, right, bottom), and
// a corner with a size, as the drawing library takes them; and the same with
// fractions, for laying out text.
#pragma once

namespace platform {

struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
    bool overlaps(const Rect& other) const
    {
        return x < other.x + other.width && other.x < x + width && y < other.y + other.height && other.y < y + height;
    }
};

struct RectF {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
};

} // namespace platform
