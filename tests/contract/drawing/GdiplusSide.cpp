// The drawing contract's GDI+ side, under Wine: GDI+ runs for the whole
// program, as in the toy between startDrawing and stopDrawing, in a prefix
// whose "Arial", "Impact" and "Microsoft Sans Serif" are mapped to the host's
// Liberation and DejaVu fonts (tests/platform/gdiplus/wine_fonts.sh). The generic
// sans-serif family is missing where "Microsoft Sans Serif" is not mapped
// (the SDK's FontFamily::GenericSansSerif() is null there).
#include "tests/contract/drawing/DrawingSide.h"

#include "platform/gdiplus/GdiplusStartup.h"

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

namespace drawing_side {

namespace {
std::uintptr_t token = 0;
}

const char* library()
{
    return "GDI+";
}

bool start(std::string& why)
{
    unsigned lastError = 0;
    if (const int status = platform::startGdiplus(&token, platform::DrawingStartupInput{}, lastError); status != 0) {
        why = "GDI+ did not start: status " + std::to_string(status) + ", error " + std::to_string(lastError);
        return false;
    }
    return true;
}

void stop()
{
    platform::stopGdiplus(token);
}

std::optional<std::string> genericFamily()
{
    const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif();
    if (generic == nullptr)
        return std::nullopt;
    WCHAR name[LF_FACESIZE] = {};
    generic->GetFamilyName(name);
    char utf8[4 * LF_FACESIZE] = {};
    WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, sizeof utf8, nullptr, nullptr);
    return std::string(utf8);
}

bool hasImpact()
{
    return true;
}

std::optional<std::string> arialFace()
{
    return std::nullopt; // Wine answers with the name asked for, whatever face stands in
}

std::optional<int> longestSide()
{
    return std::nullopt; // a 128 x 2^20 bitmap is made under Wine: 512 MB
}

const char16_t* installedFamily()
{
    return u"DejaVu Sans";
}

} // namespace drawing_side
