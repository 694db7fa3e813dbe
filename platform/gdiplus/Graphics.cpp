// Drawing into a bitmap through a GDI+ graphics context on it: opaque fills
// and laid-out text, antialiased as Pango draws it on Linux. Every call ends
// with a flush, so a lock of the pixels right after sees what was drawn.
#include "platform/draw/Graphics.h"

#include "platform/draw/SolidBrush.h"
#include "platform/draw/StringFormat.h"
#include "platform/gdiplus/GdiplusImpl.h"

namespace platform {

namespace {

Gdiplus::StringAlignment toGdiplus(StringAlignment alignment)
{
    switch (alignment) {
    case StringAlignmentCenter:
        return Gdiplus::StringAlignmentCenter;
    case StringAlignmentFar:
        return Gdiplus::StringAlignmentFar;
    case StringAlignmentNear:
        break;
    }
    return Gdiplus::StringAlignmentNear;
}

} // namespace

Graphics::Graphics(Bitmap* bitmap) : implementation(std::make_unique<Impl>())
{
    implementation->bitmap = bitmap;
    Gdiplus::Bitmap* target = bitmap != nullptr ? bitmap->impl()->bitmap.get() : nullptr;
    if (!target) {
        remember(Status::InvalidParameter);
        return;
    }
    std::unique_ptr<Gdiplus::Graphics> graphics(Gdiplus::Graphics::FromImage(target));
    if (!graphics) {
        remember(Status::OutOfMemory);
        return;
    }
    if (const Status made = fromGdiplus(graphics->GetLastStatus()); made != Status::Ok) {
        remember(made);
        return;
    }
    graphics->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    implementation->graphics = std::move(graphics);
}

Graphics::~Graphics() = default;

Status Graphics::fillRectangle(const SolidBrush* brush, int x, int y, int width, int height)
{
    Gdiplus::Graphics* graphics = implementation->graphics.get();
    if (!graphics || !brush || width < 0 || height < 0)
        return remember(Status::InvalidParameter);
    if (implementation->bitmap->impl()->locked)
        return remember(Status::ObjectBusy);
    const Gdiplus::SolidBrush fill(Gdiplus::Color(brush->getColor()));
    const Status status = remember(fromGdiplus(graphics->FillRectangle(&fill, x, y, width, height)));
    graphics->Flush(Gdiplus::FlushIntentionSync);
    return status;
}

Status Graphics::drawString(const char16_t* text, int length, const Font* font, const RectF& layoutRect,
                            const StringFormat* format, const SolidBrush* brush)
{
    Gdiplus::Graphics* graphics = implementation->graphics.get();
    if (!graphics || !text || !brush || !font || !font->isAvailable())
        return remember(Status::InvalidParameter);
    if (implementation->bitmap->impl()->locked)
        return remember(Status::ObjectBusy);

    // GDI+ wraps at word breaks where a line does not fit the width, clips to
    // the rectangle, and takes a rectangle without width or height as no limit
    // in that direction: what the format promises. The layout starts from the
    // typographic format, which has no padding: by default GDI+ keeps a sixth
    // of the em clear on either side, which leaves a 72 pt bold "W" no room in
    // a 128 px cell (Wine then draws nothing at all), and Pango on Linux lays
    // out without padding too. Centring is the same either way.
    const Gdiplus::StringFormat* typographic = Gdiplus::StringFormat::GenericTypographic();
    Gdiplus::StringFormat layout = typographic ? Gdiplus::StringFormat(typographic) : Gdiplus::StringFormat();
    layout.SetFormatFlags(format ? format->getFormatFlags() : 0);
    layout.SetAlignment(toGdiplus(format ? format->getAlignment() : StringAlignmentNear));
    layout.SetLineAlignment(toGdiplus(format ? format->getLineAlignment() : StringAlignmentNear));
    const Gdiplus::SolidBrush ink(Gdiplus::Color(brush->getColor()));
    const Gdiplus::RectF rectangle(layoutRect.x, layoutRect.y, layoutRect.width, layoutRect.height);
    // WCHAR is UTF-16 on Windows, as char16_t is.
    static_assert(sizeof(WCHAR) == sizeof(char16_t));
    // Clipped here as well: Wine's GDI+ clips text only on a device context,
    // not on a bitmap.
    const bool clipped = layoutRect.width > 0 && layoutRect.height > 0 &&
                         ((format ? format->getFormatFlags() : 0) & Gdiplus::StringFormatFlagsNoClip) == 0;
    const Gdiplus::GraphicsState state = graphics->Save();
    if (clipped)
        graphics->SetClip(rectangle, Gdiplus::CombineModeIntersect);
    const Status status = remember(fromGdiplus(graphics->DrawString(
        reinterpret_cast<const WCHAR*>(text), length, font->impl()->font.get(), rectangle, &layout, &ink)));
    graphics->Restore(state);
    graphics->Flush(Gdiplus::FlushIntentionSync);
    return status;
}

Status Graphics::remember(Status status)
{
    if (status != Status::Ok)
        lastStatus = status;
    return status;
}

} // namespace platform
