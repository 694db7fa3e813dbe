// The message box's layout: a margin all round, the text centred at the top,
// a gap, then the button centred below it; never smaller than a small box.
#include "platform/x11/MessageBoxLayout.h"

#include <algorithm>

namespace platform {

namespace {

constexpr int margin = 20;
constexpr int gap = 18;
constexpr int minimumWidth = 240;
constexpr int buttonMinimumWidth = 88;
constexpr int buttonMinimumHeight = 30;
constexpr int labelPaddingX = 24;
constexpr int labelPaddingY = 12;

} // namespace

MessageBoxLayout layOutMessageBox(BoxSize text, BoxSize label)
{
    text.width = std::max(text.width, 0);
    text.height = std::max(text.height, 0);
    MessageBoxLayout layout;
    layout.button.width = std::max(buttonMinimumWidth, label.width + labelPaddingX);
    layout.button.height = std::max(buttonMinimumHeight, label.height + labelPaddingY);
    layout.window.width = std::max({minimumWidth, text.width + 2 * margin, layout.button.width + 2 * margin});
    layout.window.height = margin + text.height + gap + layout.button.height + margin;
    layout.text = {(layout.window.width - text.width) / 2, margin, text.width, text.height};
    layout.button.x = (layout.window.width - layout.button.width) / 2;
    layout.button.y = margin + text.height + gap;
    return layout;
}

} // namespace platform
