// Laid-out text through Pango on the bitmap's Cairo context: the layout is as
// wide as the rectangle and wraps at word breaks, each line is aligned across
// the width and the block of lines is placed in the height as the format says,
// clipped to the rectangle. One Pango context at 96 dots per inch serves every
// call, so fonts and shaping caches are loaded once per process, not per string.
#include "platform/Graphics.h"

#include "platform/CairoImpl.h"
#include "platform/SolidBrush.h"
#include "platform/StringFormat.h"

#include <glib.h>
#include <pango/pangocairo.h>

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

    PangoContext* textContext = sharedTextContext();
    pango_cairo_update_context(context, textContext);
    PangoLayout* layout = pango_layout_new(textContext);
    pango_layout_set_font_description(layout, font->impl()->description);
    // A rectangle without width or height sets no limit in that direction.
    const bool bounded = layoutRect.width > 0 && layoutRect.height > 0;
    if (layoutRect.width > 0)
        pango_layout_set_width(layout, static_cast<int>(layoutRect.width * PANGO_SCALE));
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
    const StringAlignment across = format ? format->getAlignment() : StringAlignmentNear;
    const StringAlignment down = format ? format->getLineAlignment() : StringAlignmentNear;
    pango_layout_set_alignment(layout, across == StringAlignmentCenter ? PANGO_ALIGN_CENTER
                                       : across == StringAlignmentFar  ? PANGO_ALIGN_RIGHT
                                                                       : PANGO_ALIGN_LEFT);
    pango_layout_set_text(layout, utf8, static_cast<int>(utf8Length));
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
