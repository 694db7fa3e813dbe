// Choosing the face: a family is found only as itself or its metric stand-in,
// anything else is the generic bold sans-serif family, never fontconfig's
// last resort. (Other fontconfig setups are in text_test.cpp.)
#include "platform/draw/Font.h"

#include <gtest/gtest.h>

namespace {

using platform::Font;
using platform::FontStyleBold;
using platform::Status;
using platform::UnitPoint;

std::string genericFamily()
{
    return Font(u"sans-serif", 12, FontStyleBold, UnitPoint).familyName();
}

TEST(Font, InstalledFamiliesAndMetricStandInsAreFound)
{
    Font dejavu(u"DejaVu Sans", 72, FontStyleBold, UnitPoint);
    EXPECT_EQ(dejavu.familyName(), "DejaVu Sans");
    EXPECT_EQ(dejavu.getLastStatus(), Status::Ok);

    Font arial(u"Arial", 12, FontStyleBold, UnitPoint);
    EXPECT_TRUE(arial.isAvailable());
    EXPECT_EQ(arial.familyName(), "Liberation Sans") << "fonts-liberation2 gives Arial's metric stand-in";
    EXPECT_EQ(arial.getLastStatus(), Status::Ok);
}

TEST(Font, MissingFamiliesFallBackToGenericSans)
{
    const std::string generic = genericFamily();
    ASSERT_FALSE(generic.empty());
    // "Impact" is not installed; where the URW fonts are, fontconfig's own
    // answer for it is a dingbat face.
    for (const char16_t* missing : {u"Impact", u"No Such Family 7f3a", u"Dingbats:bold-12,Impact", u""}) {
        Font font(missing, 72, FontStyleBold, UnitPoint);
        EXPECT_TRUE(font.isAvailable());
        EXPECT_EQ(font.familyName(), generic);
        EXPECT_EQ(font.getLastStatus(), Status::FontFamilyNotFound);
    }
    Font unnamed(nullptr, 72, FontStyleBold, UnitPoint);
    EXPECT_EQ(unnamed.familyName(), generic);
}

TEST(Font, UnusableSizeGivesNoFont)
{
    Font zero(u"DejaVu Sans", 0, FontStyleBold, UnitPoint);
    EXPECT_FALSE(zero.isAvailable());
    EXPECT_NE(zero.getLastStatus(), Status::Ok);
}

TEST(Font, LiveCountFollowsConstructionAndDestruction)
{
    const int before = Font::liveCount();
    {
        Font a(u"Arial", 12, FontStyleBold, UnitPoint);
        Font b(u"Impact", 72, FontStyleBold, UnitPoint);
        EXPECT_EQ(Font::liveCount(), before + 2);
    }
    EXPECT_EQ(Font::liveCount(), before);
}

} // namespace
