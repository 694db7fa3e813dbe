// Choosing the face on every drawing library: a family is found as itself
// (or, on Linux, its metric stand-in); anything else is the generic bold
// sans-serif family where the library has one, and always a face that draws
// letters, never a dingbat face. GDI+'s run without a generic family is the
// ctest case drawing.font_fallback_without_generic, which runs FontFallback.*
// again with ZINDLE_EXPECT_NO_GENERIC_FAMILY set.
#include "tests/contract/drawing/DrawingSide.h"
#include "tests/contract/drawing/Painted.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

using namespace platform;
using namespace drawing_tests;

TEST(Font, InstalledFamiliesAndTheScenesFamiliesAreFound)
{
    Font installed(drawing_side::installedFamily(), 72, FontStyleBold, UnitPoint);
    EXPECT_TRUE(installed.isAvailable());
    EXPECT_EQ(installed.getLastStatus(), Status::Ok);
    EXPECT_EQ(std::u16string(drawing_side::installedFamily()),
              std::u16string(installed.familyName().begin(), installed.familyName().end()));

    Font arial(u"Arial", 12, FontStyleBold, UnitPoint);
    EXPECT_TRUE(arial.isAvailable());
    EXPECT_EQ(arial.getLastStatus(), Status::Ok);
    EXPECT_FALSE(arial.familyName().empty());
    if (const std::optional<std::string> face = drawing_side::arialFace()) {
        EXPECT_EQ(arial.familyName(), *face);
    }

    // The cube's family: found where installed, else the fallback's case.
    if (drawing_side::hasImpact()) {
        Font impact(u"Impact", 72, FontStyleBold, UnitPoint);
        EXPECT_TRUE(impact.isAvailable());
        EXPECT_EQ(impact.getLastStatus(), Status::Ok);
        EXPECT_FALSE(impact.familyName().empty());
    }
}

TEST(FontFallback, MissingFamilyFallsBackAndDrawsLetters)
{
    const std::optional<std::string> generic = drawing_side::genericFamily();
    if (std::getenv("ZINDLE_EXPECT_NO_GENERIC_FAMILY")) {
        ASSERT_EQ(generic, std::nullopt) << "this run is meant to have no generic sans-serif family";
    }
    if (generic) {
        EXPECT_FALSE(generic->empty());
    }

    // Where the URW fonts are, fontconfig's own answer for "Impact" is a
    // dingbat face, and a pattern in the name must not reach it either.
    std::vector<const char16_t*> missing = {u"No Such Family 7f3a", u"Dingbats:bold-12,Impact", u""};
    if (!drawing_side::hasImpact())
        missing.push_back(u"Impact");
    for (const char16_t* family : missing) {
        SCOPED_TRACE(std::string(family, family + std::char_traits<char16_t>::length(family)));
        Font font(family, 72, FontStyleBold, UnitPoint);
        ASSERT_TRUE(font.isAvailable());
        EXPECT_EQ(font.getLastStatus(), Status::FontFamilyNotFound);
        if (generic) {
            EXPECT_EQ(font.familyName(), *generic);
        } else {
            EXPECT_FALSE(font.familyName().empty());
        }
        const Painted cell = paint(&font, u"W", 128, 128);
        ASSERT_EQ(cell.status, Status::Ok);
        const Ink ink = inkOf(cell);
        EXPECT_GT(ink.pixels, 200);
        EXPECT_NEAR(ink.centreX(), 64, 4);
        EXPECT_NEAR(ink.centreY(), 64, 8);
    }
    Font unnamed(nullptr, 72, FontStyleBold, UnitPoint);
    EXPECT_TRUE(unnamed.isAvailable());
    if (generic) {
        EXPECT_EQ(unnamed.familyName(), *generic);
    }
}

TEST(Font, UnusableSizeOrUnitGivesNoFont)
{
    for (const char16_t* family : {drawing_side::installedFamily(), u"Arial"})
        for (const float size : {0.0f, -3.0f}) {
            SCOPED_TRACE(size);
            Font font(family, size, FontStyleBold, UnitPoint);
            EXPECT_FALSE(font.isAvailable());
            EXPECT_NE(font.getLastStatus(), Status::Ok);
            EXPECT_TRUE(font.familyName().empty());
        }
    Font pixels(u"Arial", 12, FontStyleBold, static_cast<Unit>(2));
    EXPECT_FALSE(pixels.isAvailable());
    EXPECT_EQ(pixels.getLastStatus(), Status::InvalidParameter);
}

TEST(Font, LiveCountFollowsConstructionAndDestruction)
{
    const int before = Font::liveCount();
    {
        Font a(u"Arial", 12, FontStyleBold, UnitPoint);
        Font b(u"Impact", 72, FontStyleBold, UnitPoint);
        Font c(u"No Such Family Anywhere", 12, FontStyleBold, UnitPoint);
        EXPECT_EQ(Font::liveCount(), before + 3);
    }
    EXPECT_EQ(Font::liveCount(), before);
}

} // namespace
