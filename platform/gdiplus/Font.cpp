// Fonts by family name on GDI+. A family GDI+ does not know falls back to its
// generic sans-serif family, as the painters expect. Where even that is
// missing (a Wine prefix without Microsoft Sans Serif has none, and the SDK's
// FontFamily::GenericSansSerif() then returns null), the first of a few
// common sans-serif families that is installed stands in, so a machine with
// any of them still draws letters.
#include "platform/draw/Font.h"

#include "platform/gdiplus/GdiplusImpl.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<int> liveFonts{0};

constexpr const WCHAR* standIns[] = {L"Microsoft Sans Serif", L"Arial",          L"Tahoma", L"Segoe UI",
                                     L"DejaVu Sans",          L"Liberation Sans"};

std::string toUtf8(const WCHAR* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    result.resize(static_cast<std::size_t>(size - 1));
    return result;
}

// A font of the family in the size and style, or null with why not.
std::unique_ptr<Gdiplus::Font> makeFont(const Gdiplus::FontFamily& family, float emSize, int style,
                                        Gdiplus::Status& status)
{
    status = family.GetLastStatus();
    if (status != Gdiplus::Ok)
        return nullptr;
    auto font = std::make_unique<Gdiplus::Font>(&family, emSize, style, Gdiplus::UnitPoint);
    status = font->GetLastStatus();
    if (status != Gdiplus::Ok || !font->IsAvailable())
        return nullptr;
    return font;
}

std::string familyNameOf(const Gdiplus::FontFamily& family)
{
    WCHAR name[LF_FACESIZE] = {};
    if (family.GetFamilyName(name) != Gdiplus::Ok)
        return {};
    return toUtf8(name);
}

} // namespace

Font::Font(const char16_t* familyName, float emSize, FontStyle style, Unit unit)
    : implementation(std::make_unique<Impl>())
{
    ++liveFonts;
    if (unit != UnitPoint || !(emSize > 0)) {
        lastStatus = Status::InvalidParameter;
        return;
    }
    const int gdiplusStyle = (style & FontStyleBold) != 0 ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular;
    Gdiplus::Status status = Gdiplus::FontFamilyNotFound;
    const auto* wanted = reinterpret_cast<const WCHAR*>(familyName);
    if (wanted && *wanted) {
        const Gdiplus::FontFamily family(wanted);
        if (auto font = makeFont(family, emSize, gdiplusStyle, status)) {
            implementation->font = std::move(font);
            implementation->family = familyNameOf(family);
            return;
        }
    }
    lastStatus = status == Gdiplus::FontFamilyNotFound ? Status::FontFamilyNotFound : fromGdiplus(status);

    if (const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif()) {
        if (auto font = makeFont(*generic, emSize, gdiplusStyle, status)) {
            implementation->font = std::move(font);
            implementation->family = familyNameOf(*generic);
            return;
        }
    }
    for (const WCHAR* name : standIns) {
        const Gdiplus::FontFamily family(name);
        if (auto font = makeFont(family, emSize, gdiplusStyle, status)) {
            implementation->font = std::move(font);
            implementation->family = familyNameOf(family);
            return;
        }
    }
}

Font::~Font()
{
    --liveFonts;
}

bool Font::isAvailable() const
{
    return implementation->font != nullptr;
}

const std::string& Font::familyName() const
{
    return implementation->family;
}

int Font::liveCount()
{
    return liveFonts.load();
}

} // namespace platform
