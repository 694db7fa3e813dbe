// Laid-out text through Pango on the bitmap's Cairo context: the layout is as
// wide as the rectangle and wraps at word breaks, each line is aligned across
// the width and the block of lines is placed in the height as the format says,
// clipped to the rectangle. One Pango context at 96 dots per inch serves every
// call, so fonts and shaping caches are loaded once per process, not per string,
// and the last layout is kept: the painters draw the same string in the same
// font and width several times over (six cells of a cube), and laying it out
// (itemizing, shaping, measuring) costs far more than drawing it.
#include "platform/draw/Graphics.h"

#include "platform/cairo/CairoImpl.h"
#include "platform/draw/SolidBrush.h"
#include "platform/draw/StringFormat.h"

#include <glib.h>
#include <pango/pangocairo.h>

#include <cstring>
#include <string>

namespace platform {

namespace {

constexpr double dotsPerInch = 96.0;

PangoContext* sharedTextContext()
{
    static PangoContext* context = [] {
        PangoContext* created = pango_font_map_create_context(pango_cairo_font_map_get_default());
        pango_cairo_context_set_resolution(created, dotsPerInch);
        return created;
    }();
    return context;
}

double placeInSpan(StringAlignment alignment, double start, double span, double size)
{
    switch (alignment) {
    case StringAlignmentCenter:
        return start + (span - size) / 2;
    case StringAlignmentFar:
        return start + span - size;
    case StringAlignmentNear:
        break;
    }
    return start;
}

// The layout of the last string drawn, and what it was made from.
struct LastLayout {
    PangoLayout* layout = nullptr;
    PangoFontDescription* font = nullptr;
    std::string text;
    int width = -1;
    PangoAlignment alignment = PANGO_ALIGN_LEFT;

    bool matches(const PangoFontDescription* wantedFont, const gchar* wantedText, glong length, int wantedWidth,
                 PangoAlignment wantedAlignment) const
    {
        return layout && width == wantedWidth && alignment == wantedAlignment &&
               text.size() == static_cast<std::size_t>(length) &&
               std::memcmp(text.data(), wantedText, text.size()) == 0 && pango_font_description_equal(font, wantedFont);
    }

    void keep(PangoLayout* made, const PangoFontDescription* madeFont, const gchar* madeText, glong length,
              int madeWidth, PangoAlignment madeAlignment)
    {
        if (layout)
            g_object_unref(layout);
        if (font)
            pango_font_description_free(font);
        layout = made;
        font = pango_font_description_copy(madeFont);
        text.assign(madeText, static_cast<std::size_t>(length));
        width = madeWidth;
        alignment = madeAlignment;
    }
};

// A layout for the string as the rectangle and format ask, made anew or the
// last one again; the caller holds a reference to it.
PangoLayout* layoutFor(const PangoFontDescription* font, const gchar* text, glong length, int width,
                       PangoAlignment alignment)
{
    static LastLayout last;
    if (last.matches(font, text, length, width, alignment))
        return PANGO_LAYOUT(g_object_ref(last.layout));
    PangoLayout* layout = pango_layout_new(sharedTextContext());
    pango_layout_set_font_description(layout, font);
    // A rectangle without width sets no limit across.
    if (width > 0)
        pango_layout_set_width(layout, width);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
    pango_layout_set_alignment(layout, alignment);
    pango_layout_set_text(layout, text, static_cast<int>(length));
    last.keep(PANGO_LAYOUT(g_object_ref(layout)), font, text, length, width, alignment);
    return layout;
}

} // namespace

Status Graphics::drawString(const char16_t* text, int length, const Font* font, const RectF& layoutRect,
                            const StringFormat* format, const SolidBrush* brush)
{
    cairo_t* context = implementation->context;
    if (!context || !text || !brush || !font || !font->isAvailable())
        return remember(Status::InvalidParameter);
    if (implementation->bitmap->impl()->locked)
        return remember(Status::ObjectBusy);

    glong utf8Length = 0;
    gchar* utf8 = g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(text), length < 0 ? -1 : length, nullptr,
                                  &utf8Length, nullptr);
    if (!utf8)
        return remember(Status::InvalidParameter);

    // The context takes the target's font options and transformation; a
    // change there makes Pango lay a kept layout out again by itself.
    pango_cairo_update_context(context, sharedTextContext());
    // A rectangle without width or height sets no limit in that direction.
    const bool bounded = layoutRect.width > 0 && layoutRect.height > 0;
    const int width = layoutRect.width > 0 ? static_cast<int>(layoutRect.width * PANGO_SCALE) : -1;
    const StringAlignment across = format ? format->getAlignment() : StringAlignmentNear;
    const StringAlignment down = format ? format->getLineAlignment() : StringAlignmentNear;
    const PangoAlignment alignment = across == StringAlignmentCenter ? PANGO_ALIGN_CENTER
                                     : across == StringAlignmentFar  ? PANGO_ALIGN_RIGHT
                                                                     : PANGO_ALIGN_LEFT;
    PangoLayout* layout = layoutFor(font->impl()->description, utf8, utf8Length, width, alignment);
    g_free(utf8);

    int inkWidth = 0;
    int blockHeight = 0;
    pango_layout_get_size(layout, &inkWidth, &blockHeight);
    const double top =
        placeInSpan(down, layoutRect.y, layoutRect.height, static_cast<double>(blockHeight) / PANGO_SCALE);

    cairo_save(context);
    if (bounded) {
        cairo_rectangle(context, layoutRect.x, layoutRect.y, layoutRect.width, layoutRect.height);
        cairo_clip(context);
    }
    setSourceColor(context, brush->getColor());
    cairo_move_to(context, layoutRect.x, top);
    pango_cairo_show_layout(context, layout);
    cairo_restore(context);
    g_object_unref(layout);
    return Status::Ok;
}

} // namespace platform
