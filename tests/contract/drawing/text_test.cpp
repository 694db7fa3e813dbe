// Text as the scene paints it, on every drawing library: a cube's cells
// (72 pt bold "Impact", the character centred in each 128 x 128 cell) and the
// exit card (12 pt bold "Arial", two centred lines in 128 x 64), checked by
// where the ink lands; wrapping, clipping, the length limit, a kept layout,
// and fonts and brushes that cannot draw.
#include "tests/contract/drawing/DrawingSide.h"
#include "tests/contract/drawing/Painted.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using namespace platform;
using namespace drawing_tests;

TEST(Text, CubeCharactersAreCentredLettersInTheirCell)
{
    Font impact(u"Impact", 72, FontStyleBold, UnitPoint);
    ASSERT_TRUE(impact.isAvailable());
    for (const char16_t* character : {u"W", u"i", u"?", u"A", u"."}) {
        SCOPED_TRACE(testing::Message() << static_cast<char>(character[0]));
        const Painted cell = paint(&impact, character, 128, 128, 0xFF2040C0);
        ASSERT_EQ(cell.status, Status::Ok);
        const Ink ink = inkOf(cell);
        ASSERT_GT(ink.pixels, 20);
        EXPECT_NEAR(ink.centreX(), 64, 4);
        if (character[0] != u'.') { // a full stop sits on the baseline, as it should
            EXPECT_NEAR(ink.centreY(), 64, 8);
        }
        EXPECT_GT(ink.left, 0) << "the glyph stays inside its cell";
        EXPECT_LT(ink.right, 127);
        EXPECT_GT(ink.top, 0);
        EXPECT_LT(ink.bottom, 127);
    }
    for (const char16_t* capital : {u"W", u"A"}) {
        const Ink ink = inkOf(paint(&impact, capital, 128, 128));
        EXPECT_GT(ink.bottom - ink.top, 55) << "72 pt is 96 px: a capital is about 70 px high";
        EXPECT_LT(ink.bottom - ink.top, 90);
    }
    const Ink w = inkOf(paint(&impact, u"W", 128, 128));
    EXPECT_GT(w.right - w.left, 70) << "the whole W, not a wrapped or clipped part of it";

    // Where "Impact" falls back, the letter is exactly the generic family's:
    // a dingbat face would put a star there instead.
    if (!drawing_side::hasImpact()) {
        const std::optional<std::string> generic = drawing_side::genericFamily();
        ASSERT_TRUE(generic);
        ASSERT_NE(*generic, "D050000L");
        EXPECT_EQ(impact.familyName(), *generic);
        const std::u16string family(generic->begin(), generic->end());
        Font reference(family.c_str(), 72, FontStyleBold, UnitPoint);
        ASSERT_EQ(reference.familyName(), *generic);
        EXPECT_EQ(paint(&impact, u"A", 128, 128).bgra, paint(&reference, u"A", 128, 128).bgra);
    }
}

TEST(Text, InkIsTheBrushColourOnWhite)
{
    Font impact(u"Impact", 72, FontStyleBold, UnitPoint);
    const Painted cell = paint(&impact, u"H", 128, 128, 0xFF2040C0);
    const std::uint8_t* corner = cell.at(0, 0);
    EXPECT_EQ((std::array<int, 4>{corner[0], corner[1], corner[2], corner[3]}),
              (std::array<int, 4>{255, 255, 255, 255}));
    // The middle of the H's left stem is solid ink.
    const Ink ink = inkOf(cell);
    const std::uint8_t* stem = cell.at(ink.left + 4, static_cast<int>(ink.centreY()) - 12);
    EXPECT_EQ((std::array<int, 4>{stem[0], stem[1], stem[2], stem[3]}), (std::array<int, 4>{0xC0, 0x40, 0x20, 255}));
}

TEST(Text, SixCellsOfACubeEachHoldTheirCharacter)
{
    Font font(u"Impact", 72, FontStyleBold, UnitPoint);
    Bitmap bitmap(128, 768);
    {
        Graphics graphics(&bitmap);
        SolidBrush white(0xFFFFFFFF);
        graphics.fillRectangle(&white, 0, 0, 128, 768);
        StringFormat format(0, 0);
        format.setAlignment(StringAlignmentCenter);
        format.setLineAlignment(StringAlignmentCenter);
        RectF layout{0, 0, 128, 128};
        for (int k = 0; k < 6; ++k) {
            SolidBrush brush(0xFF000000u | (40u * static_cast<unsigned>(k)) << 16 | 0x20u);
            ASSERT_EQ(graphics.drawString(u"W", -1, &font, layout, &format, &brush), Status::Ok);
            layout.y += 128;
        }
    }
    const Painted whole = pixelsOf(bitmap);
    ASSERT_EQ(whole.height, 768);
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE(k);
        const Ink ink = inkOf(whole, 128 * k, 128 * (k + 1));
        EXPECT_GT(ink.top, 128 * k) << "a wide glyph stays inside its own cell";
        EXPECT_LT(ink.bottom, 128 * (k + 1) - 1);
        EXPECT_NEAR(ink.centreY() - 128 * k, 64, 8);
        EXPECT_NEAR(ink.centreX(), 64, 4);
        const std::uint8_t* p = whole.at(static_cast<int>(ink.centreX()), 128 * k + 2);
        EXPECT_EQ(p[0] + p[1] + p[2], 3 * 255) << "white between the cells";
    }
}

TEST(Text, ExitCardWrapsIntoTwoCentredDarkLines)
{
    Font arial(u"Arial", 12, FontStyleBold, UnitPoint);
    ASSERT_TRUE(arial.isAvailable());
    const Painted card = paint(&arial, u"Press ESC to Exit", 128, 64);
    ASSERT_EQ(card.status, Status::Ok);
    EXPECT_EQ(textLines(card), 2);
    const Ink ink = inkOf(card);
    EXPECT_NEAR(ink.centreX(), 64, 3);
    EXPECT_NEAR(ink.centreY(), 32, 4);
    EXPECT_GT(ink.darkest, 200) << "black text";
    EXPECT_LT(ink.bottom - ink.top, 40) << "two lines of 16 px text";
    EXPECT_EQ(card.darkness(0, 0), 0);
    EXPECT_EQ(card.darkness(127, 63), 0);
    // Unwrapped in a wide rectangle: one line.
    EXPECT_EQ(textLines(paint(&arial, u"Press ESC to Exit", 256, 64)), 1);
}

TEST(Text, TextIsClippedToItsRectangle)
{
    for (const char16_t* family : {u"Impact", drawing_side::installedFamily()}) {
        Font font(family, 72, FontStyleBold, UnitPoint);
        const Painted card = paint(&font, u"W", -1, 128, 128, RectF{0, 0, 128, 40});
        ASSERT_EQ(card.status, Status::Ok);
        const Ink ink = inkOf(card);
        EXPECT_GT(ink.pixels, 0);
        EXPECT_LT(ink.bottom, 40);
    }
}

TEST(Text, LengthLimitsTheCharactersDrawn)
{
    for (const char16_t* family : {u"Arial", drawing_side::installedFamily()}) {
        Font font(family, 24, FontStyleBold, UnitPoint);
        for (const bool centred : {true, false}) {
            SCOPED_TRACE(centred ? "centred" : "unformatted");
            const auto drawn = [&](const char16_t* text, int length) {
                return paint(&font, text, length, 64, 64, {}, 0xFF000000, centred).bgra;
            };
            EXPECT_EQ(drawn(u"AB", 1), drawn(u"A", -1));
            EXPECT_NE(drawn(u"AB", 2), drawn(u"A", -1));
        }
    }
}

// The layout of a string may be kept for the next call; a call that differs
// in font, size, width or text must be laid out anew, and one that matches
// must draw exactly what a fresh layout draws.
TEST(Text, AKeptLayoutServesOnlyTheSameStringFontAndWidth)
{
    Font big(drawing_side::installedFamily(), 48, FontStyleBold, UnitPoint);
    Font small(drawing_side::installedFamily(), 24, FontStyleBold, UnitPoint);
    const Painted first = paint(&big, u"A", 128, 128);
    const Painted smaller = paint(&small, u"A", 128, 128);
    EXPECT_LT(inkOf(smaller).bottom - inkOf(smaller).top, inkOf(first).bottom - inkOf(first).top - 10);
    const Painted other = paint(&big, u"B", 128, 128);
    EXPECT_NE(other.bgra, first.bgra);
    // Half as wide a rectangle centres the letter in its own half.
    const Painted narrow = paint(&big, u"A", -1, 128, 128, RectF{0, 0, 64, 128});
    EXPECT_NEAR(inkOf(narrow).centreX(), 32, 4);
    // A font made anew with the same description draws the same.
    Font again(drawing_side::installedFamily(), 48, FontStyleBold, UnitPoint);
    EXPECT_EQ(paint(&big, u"A", 128, 128).bgra, first.bgra);
    EXPECT_EQ(paint(&again, u"A", 128, 128).bgra, first.bgra);
}

TEST(Text, NoUsableFontOrBrushDrawsNothingAndFails)
{
    Font unusable(u"Arial", 0, FontStyleBold, UnitPoint);
    EXPECT_FALSE(unusable.isAvailable());
    EXPECT_EQ(unusable.getLastStatus(), Status::InvalidParameter);
    for (const Font* font : {static_cast<const Font*>(nullptr), static_cast<const Font*>(&unusable)}) {
        const Painted card = paint(font, u"A", 64, 64);
        EXPECT_EQ(card.status, Status::InvalidParameter);
        ASSERT_EQ(card.width, 64) << "the card itself is still painted";
        EXPECT_EQ(inkOf(card).darkest, 0) << "and stays plain white";
    }

    Font fine(u"Arial", 12, FontStyleBold, UnitPoint);
    Bitmap bitmap(32, 32);
    Graphics graphics(&bitmap);
    SolidBrush white(0xFFFFFFFF), black(0xFF000000);
    graphics.fillRectangle(&white, 0, 0, 32, 32);
    const RectF rect{0, 0, 32, 32};
    EXPECT_EQ(graphics.drawString(u"A", -1, &unusable, rect, nullptr, &black), Status::InvalidParameter);
    EXPECT_EQ(graphics.drawString(u"A", -1, nullptr, rect, nullptr, &black), Status::InvalidParameter);
    EXPECT_EQ(graphics.drawString(u"A", -1, &fine, rect, nullptr, nullptr), Status::InvalidParameter);
    EXPECT_EQ(graphics.drawString(nullptr, -1, &fine, rect, nullptr, &black), Status::InvalidParameter);
    EXPECT_EQ(graphics.getLastStatus(), Status::InvalidParameter);
    EXPECT_EQ(inkOf(pixelsOf(bitmap)).pixels, 0);
}

} // namespace
