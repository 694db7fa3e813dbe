// Fonts by family name. fontconfig always answers with some face, even for a
// family that is not installed, and its last resort can be a symbol font (on a
// machine with the URW fonts "Impact" comes back as a dingbat face that draws
// every letter as a star). So a family counts as found only when the face
// fontconfig picks is that family or one its rules bind to it as strongly as
// the name itself: the metric-compatible stand-ins ("Arial" -> "Liberation
// Sans") come in with binding "same", generic fallbacks only weakly. Anything
// else falls back to the generic bold sans-serif family, as the painters expect.
#include "platform/draw/Font.h"

#include "platform/cairo/CairoImpl.h"

#include <fontconfig/fontconfig.h>
#include <glib.h>

#include <atomic>
#include <cmath>
#include <set>

namespace platform {

namespace {

std::atomic<int> liveFonts{0};

std::string toUtf8(const char16_t* text)
{
    if (!text)
        return {};
    gchar* converted = g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(text), -1, nullptr, nullptr, nullptr);
    std::string result = converted ? converted : "";
    g_free(converted);
    return result;
}

// The family of the face fontconfig picks for this name and weight, or empty
// when that face is only a last resort (or there is no face at all).
std::string resolveFamily(const std::string& name, bool bold, bool acceptAnyMatch)
{
    // Built field by field rather than parsed, so that no character of the
    // name can be read as a size or an attribute.
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return {};
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    std::set<std::string> acceptable;
    FcValue value{};
    FcValueBinding binding{};
    for (int i = 0; FcPatternGetWithBinding(pattern, FC_FAMILY, i, &value, &binding) == FcResultMatch; ++i) {
        if (value.type == FcTypeString && (binding == FcValueBindingStrong || binding == FcValueBindingSame))
            acceptable.insert(reinterpret_cast<const char*>(value.u.s));
    }

    std::string chosen;
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* matched = nullptr;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &matched) == FcResultMatch; ++i) {
            const std::string candidate = reinterpret_cast<const char*>(matched);
            if (i == 0 && acceptAnyMatch) {
                chosen = candidate;
                break;
            }
            if (acceptable.count(candidate)) {
                chosen = candidate;
                break;
            }
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return chosen;
}

} // namespace

Font::Font(const char16_t* familyName, float emSize, FontStyle style, Unit unit)
    : implementation(std::make_unique<Impl>())
{
    ++liveFonts;
    const bool bold = (style & FontStyleBold) != 0;
    std::string family;
    if (unit != UnitPoint || !(emSize > 0)) {
        lastStatus = Status::InvalidParameter;
    } else {
        const std::string wanted = toUtf8(familyName);
        if (!wanted.empty())
            family = resolveFamily(wanted, bold, false);
        if (family.empty()) {
            lastStatus = Status::FontFamilyNotFound;
            // The generic family is whatever the system calls sans-serif.
            family = resolveFamily("sans-serif", bold, true);
        }
    }
    if (family.empty())
        return;

    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, family.c_str());
    pango_font_description_set_weight(description, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(description, PANGO_STYLE_NORMAL);
    // Points; the text context is set to 96 dots per inch, so 72 pt is 96 px.
    pango_font_description_set_size(description, static_cast<gint>(std::lround(emSize * PANGO_SCALE)));
    implementation->description = description;
    implementation->family = family;
}

Font::~Font()
{
    --liveFonts;
}

bool Font::isAvailable() const
{
    return implementation->description != nullptr;
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
