// Where things go in the toy's own message box: the text above one OK button,
// both centred, with margins around them. Pure arithmetic on the sizes the
// text and the button's label take, so the box and its tests agree on it.
#pragma once

#include "platform/Rect.h"

namespace platform {

struct BoxSize {
    int width = 0;
    int height = 0;
};

struct MessageBoxLayout {
    BoxSize window;
    Rect text;
    Rect button;
};

// The text's size as laid out (already wrapped) and the label's size.
MessageBoxLayout layOutMessageBox(BoxSize text, BoxSize label);

// The width past which the text wraps.
inline constexpr int messageBoxTextWidth = 520;

} // namespace platform
