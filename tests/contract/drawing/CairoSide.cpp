// The drawing contract's Cairo side: the Linux test machines' fonts (DejaVu,
// Liberation as Arial's metric stand-in, no Impact). Cairo and Pango need no
// start-up: fontconfig configures itself on first use, which the fontconfig
// cases rely on to run with configurations of their own.
#include "tests/contract/drawing/DrawingSide.h"

#include "platform/draw/Font.h"

namespace drawing_side {

const char* library()
{
    return "Cairo";
}

bool start(std::string&)
{
    return true;
}

void stop() {}

std::optional<std::string> genericFamily()
{
    return platform::Font(u"sans-serif", 12, platform::FontStyleBold, platform::UnitPoint).familyName();
}

bool hasImpact()
{
    return false;
}

std::optional<std::string> arialFace()
{
    return "Liberation Sans"; // fonts-liberation2
}

std::optional<int> longestSide()
{
    return 32767; // Cairo's image surfaces
}

const char16_t* installedFamily()
{
    return u"DejaVu Sans";
}

} // namespace drawing_side
