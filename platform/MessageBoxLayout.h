// Where things go in the toy's own message box: the text above one OK button,
// both centred, with margins around them. Pure arithmetic on the sizes the
// text and the button's label take, so the box and its tests agree on it.
#pragma once

namespace platform {

struct BoxSize {
    int width = 0;
    int height = 0;
};

struct BoxRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

struct MessageBoxLayout {
    BoxSize window;
    BoxRect text;
    BoxRect button;
};

// The text's size as laid out (already wrapped) and the label's size.
MessageBoxLayout layOutMessageBox(BoxSize text, BoxSize label);

// The width past which the text wraps.
inline constexpr int messageBoxTextWidth = 520;

} // namespace platform
