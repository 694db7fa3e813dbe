// Drawing the message box with Cairo and Pango: the text, laid out once and
// wrapped, and the OK button. Only platform/*.cpp include this header.
#pragma once

#include "platform/x11/MessageBoxLayout.h"

#include <cairo.h>
#include <pango/pango-layout.h>

#include <string_view>

namespace platform {

class MessageBoxPainter {
public:
    explicit MessageBoxPainter(std::string_view text);
    ~MessageBoxPainter();
    MessageBoxPainter(const MessageBoxPainter&) = delete;
    MessageBoxPainter& operator=(const MessageBoxPainter&) = delete;

    BoxSize textSize() const { return sizeOf(text); }
    BoxSize labelSize() const { return sizeOf(label); }

    // The whole box; a held button is drawn pressed.
    void paint(cairo_t* cairo, const MessageBoxLayout& layout, bool buttonHeld) const;

private:
    static BoxSize sizeOf(PangoLayout* layout);

    PangoContext* context = nullptr;
    PangoLayout* text = nullptr;
    PangoLayout* label = nullptr;
};

} // namespace platform
