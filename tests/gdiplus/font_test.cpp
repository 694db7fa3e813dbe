// Fonts by family on GDI+: the families the scene asks for, and the fallback
// for a family that does not exist, also where GDI+'s generic sans-serif
// family is missing (Wine without "Microsoft Sans Serif": the SDK's
// FontFamily::GenericSansSerif() is null there). The ctest case
// gdiplus.font_fallback_without_generic runs FontFallback.* again in that
// state, with ZINDLE_EXPECT_NO_GENERIC_FAMILY set.
#include "tests/gdiplus/PaintedCell.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <cstdlib>
#include <set>
#include <string>

namespace {

using namespace platform;
using namespace gdiplus_tests;

TEST(GdiplusFont, FamiliesTheSceneAsksForAreFound)
{
    for (const char16_t* family : {u"Impact", u"Arial"}) {
        Font font(family, 72, FontStyleBold, UnitPoint);
        EXPECT_TRUE(font.isAvailable());
        EXPECT_EQ(font.getLastStatus(), Status::Ok);
        EXPECT_FALSE(font.familyName().empty());
    }
}

TEST(GdiplusFont, LiveCountFollowsConstructionAndDestruction)
{
    const int before = Font::liveCount();
    {
        Font a(u"Arial", 12, FontStyleBold, UnitPoint);
        Font b(u"No Such Family Anywhere", 12, FontStyleBold, UnitPoint);
        EXPECT_EQ(Font::liveCount(), before + 2);
    }
    EXPECT_EQ(Font::liveCount(), before);
}

TEST(GdiplusFont, UnusableSizeOrUnitGivesNoFont)
{
    for (const float size : {0.0f, -3.0f}) {
        Font font(u"Arial", size, FontStyleBold, UnitPoint);
        EXPECT_FALSE(font.isAvailable());
        EXPECT_TRUE(font.familyName().empty());
    }
    Font pixels(u"Arial", 12, FontStyleBold, static_cast<Unit>(2));
    EXPECT_FALSE(pixels.isAvailable());
    EXPECT_EQ(pixels.getLastStatus(), Status::InvalidParameter);
}

TEST(FontFallback, MissingFamilyFallsBackAndDrawsLetters)
{
    const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif();
    if (std::getenv("ZINDLE_EXPECT_NO_GENERIC_FAMILY")) {
        ASSERT_EQ(generic, nullptr) << "this run is meant to have no generic sans-serif family";
    }

    for (const char16_t* missing : {u"No Such Family Anywhere", u""}) {
        Font font(missing, 72, FontStyleBold, UnitPoint);
        ASSERT_TRUE(font.isAvailable());
        EXPECT_EQ(font.getLastStatus(), Status::FontFamilyNotFound);
        if (generic) {
            WCHAR name[LF_FACESIZE] = {};
            generic->GetFamilyName(name);
            char utf8[4 * LF_FACESIZE] = {};
            WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, sizeof utf8, nullptr, nullptr);
            EXPECT_EQ(font.familyName(), utf8);
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
}

} // namespace
