// The message box's look: a light face, dark text in the desktop's sans-serif
// face at 10 points (96 dots per inch, as everywhere in the toy), and one OK
// button with a blue edge that says it is the one Return presses. Fonts come
// through fontconfig on the client side, never from the X server.
#include "platform/x11/MessageBoxPainter.h"

#include <pango/pangocairo.h>

#include <string>

namespace platform {

namespace {

constexpr double dotsPerInch = 96.0;
constexpr char fontName[] = "Sans 10";

// The text without the line feeds and spaces it may end in, which would only
// add empty lines.
std::string trimmedEnd(std::string_view text)
{
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    return std::string(end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1));
}

PangoLayout* makeLayout(PangoContext* context, const std::string& text, int wrapWidth)
{
    PangoLayout* layout = pango_layout_new(context);
    PangoFontDescription* font = pango_font_description_from_string(fontName);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    if (wrapWidth > 0) {
        pango_layout_set_width(layout, wrapWidth * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    }
    pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
    pango_layout_set_text(layout, text.c_str(), static_cast<int>(text.size()));
    return layout;
}

void fillRect(cairo_t* cairo, const Rect& rect, double grey)
{
    cairo_set_source_rgb(cairo, grey, grey, grey);
    cairo_rectangle(cairo, rect.x, rect.y, rect.width, rect.height);
    cairo_fill(cairo);
}

void showAt(cairo_t* cairo, PangoLayout* layout, double x, double y)
{
    cairo_move_to(cairo, x, y);
    pango_cairo_update_layout(cairo, layout);
    pango_cairo_show_layout(cairo, layout);
}

} // namespace

MessageBoxPainter::MessageBoxPainter(std::string_view message)
{
    context = pango_font_map_create_context(pango_cairo_font_map_get_default());
    pango_cairo_context_set_resolution(context, dotsPerInch);
    text = makeLayout(context, trimmedEnd(message), messageBoxTextWidth);
    label = makeLayout(context, "OK", 0);
}

MessageBoxPainter::~MessageBoxPainter()
{
    g_object_unref(label);
    g_object_unref(text);
    g_object_unref(context);
}

BoxSize MessageBoxPainter::sizeOf(PangoLayout* layout)
{
    // The logical extents: the wrapped lines' real width, not the wrap width.
    PangoRectangle logical{};
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    return {logical.width, logical.height};
}

void MessageBoxPainter::paint(cairo_t* cairo, const MessageBoxLayout& layout, bool buttonHeld) const
{
    fillRect(cairo, {0, 0, layout.window.width, layout.window.height}, 0.94);

    // Centred lines are placed within the layout's own width; shift so the
    // block of lines sits where the layout says.
    PangoRectangle logical{};
    pango_layout_get_pixel_extents(text, nullptr, &logical);
    cairo_set_source_rgb(cairo, 0.1, 0.1, 0.1);
    showAt(cairo, text, layout.text.x - logical.x, layout.text.y - logical.y);

    const Rect& button = layout.button;
    cairo_set_source_rgb(cairo, 0.2, 0.42, 0.78);
    cairo_rectangle(cairo, button.x, button.y, button.width, button.height);
    cairo_fill(cairo);
    fillRect(cairo, {button.x + 2, button.y + 2, button.width - 4, button.height - 4}, buttonHeld ? 0.78 : 0.99);

    const BoxSize labelSize = sizeOf(label);
    pango_layout_get_pixel_extents(label, nullptr, &logical);
    cairo_set_source_rgb(cairo, 0.1, 0.1, 0.1);
    // Centred on whole pixels, where the text stays sharp.
    const int labelX = button.x + (button.width - labelSize.width) / 2 - logical.x;
    const int labelY = button.y + (button.height - labelSize.height) / 2 - logical.y;
    showAt(cairo, label, labelX, labelY);
}

} // namespace platform
