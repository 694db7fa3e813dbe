// Laid-out text in a bitmap: where the ink lands, that it is a letter and not
// a symbol, wrapping and clipping, and fonts that cannot draw. fontconfig's
// setup is fixed per process, so the cases with other setups run this program
// again with FONTCONFIG_FILE set and only their own test selected.
#include "platform/draw/Bitmap.h"
#include "platform/draw/Font.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/SolidBrush.h"
#include "platform/draw/StringFormat.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace platform;

// One painted card: white, with the text in the given colour, centred both ways.
struct Painted {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgra;
    Status status = Status::Ok;

    int darkness(int x, int y) const
    { // 0 on white, up to 255
        const std::uint8_t* p = bgra.data() + (static_cast<std::size_t>(y) * width + x) * 4;
        return 255 - std::min({p[0], p[1], p[2]});
    }
};

Painted paint(const Font* font, const char16_t* text, int length, int width, int height, RectF rect = {},
              ARGB color = 0xFF000000)
{
    if (rect.width == 0)
        rect = RectF{0, 0, static_cast<float>(width), static_cast<float>(height)};
    Bitmap bitmap(width, height);
    Painted result;
    {
        Graphics graphics(&bitmap);
        SolidBrush white(0xFFFFFFFF), ink(color);
        graphics.fillRectangle(&white, 0, 0, width, height);
        StringFormat format(0, 0);
        format.setAlignment(StringAlignmentCenter);
        format.setLineAlignment(StringAlignmentCenter);
        result.status = graphics.drawString(text, length, font, rect, &format, &ink);
    }
    BitmapData data;
    if (bitmap.lockBits({0, 0, width, height}, &data) != Status::Ok)
        return result;
    result.width = width;
    result.height = height;
    result.bgra.assign(data.scan0, data.scan0 + static_cast<std::size_t>(width) * height * 4);
    bitmap.unlockBits(&data);
    return result;
}

struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int pixels = 0;
    int darkest = 0;
    double centreX() const { return (left + right + 1) / 2.0; }
    double centreY() const { return (top + bottom + 1) / 2.0; }
};

Ink inkOf(const Painted& card, int fromY = 0, int toY = -1)
{
    Ink ink;
    for (int y = fromY; y < (toY < 0 ? card.height : toY); ++y)
        for (int x = 0; x < card.width; ++x) {
            const int dark = card.darkness(x, y);
            ink.darkest = std::max(ink.darkest, dark);
            if (dark < 96)
                continue;
            ++ink.pixels;
            ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

// Runs of inked rows separated by blank ones: the lines of text.
int textLines(const Painted& card)
{
    int lines = 0;
    bool inLine = false;
    for (int y = 0; y < card.height; ++y) {
        bool inked = false;
        for (int x = 0; x < card.width && !inked; ++x)
            inked = card.darkness(x, y) >= 96;
        lines += inked && !inLine;
        inLine = inked;
    }
    return lines;
}

// The letter block's cell: "A" at 72 pt bold in the font "Impact" resolves
// to, centred in 128 x 128, drawn exactly as the named reference family draws
// it. A dingbat face would put a star there instead.
void expectLetterBlockA(const std::string& referenceFamily)
{
    Font impact(u"Impact", 72, FontStyleBold, UnitPoint);
    ASSERT_TRUE(impact.isAvailable());
    EXPECT_EQ(impact.familyName(), referenceFamily);
    const Painted cell = paint(&impact, u"A", -1, 128, 128);
    ASSERT_EQ(cell.status, Status::Ok);
    const Ink ink = inkOf(cell);
    EXPECT_NEAR(ink.centreX(), 64, 4);
    EXPECT_NEAR(ink.centreY(), 64, 10);
    EXPECT_GT(ink.bottom - ink.top, 55) << "72 pt is 96 px: a capital is about 70 px high";
    EXPECT_LT(ink.bottom - ink.top, 90);

    std::u16string family(referenceFamily.begin(), referenceFamily.end());
    Font reference(family.c_str(), 72, FontStyleBold, UnitPoint);
    ASSERT_EQ(reference.familyName(), referenceFamily);
    EXPECT_EQ(cell.bgra, paint(&reference, u"A", -1, 128, 128).bgra);
}

TEST(Text, LetterBlockCharacterIsACentredLetter)
{
    const std::string generic = Font(u"sans-serif", 72, FontStyleBold, UnitPoint).familyName();
    ASSERT_NE(generic, "D050000L");
    expectLetterBlockA(generic);
}

TEST(Text, SixCellsEachHoldACentredCharacter)
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
        for (int k = 0; k < 6; ++k) {
            SolidBrush brush(0xFF000000u | (40u * k) << 16 | 0x20u);
            ASSERT_EQ(graphics.drawString(u"W", -1, &font, RectF{0, 128.0f * static_cast<float>(k), 128, 128}, &format,
                                          &brush),
                      Status::Ok);
        }
    }
    BitmapData data;
    ASSERT_EQ(bitmap.lockBits({0, 0, 128, 768}, &data), Status::Ok);
    Painted whole{128, 768, {data.scan0, data.scan0 + 128 * 768 * 4}};
    bitmap.unlockBits(&data);
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE(k);
        const Ink ink = inkOf(whole, 128 * k, 128 * (k + 1));
        EXPECT_GT(ink.top, 128 * k) << "a wide glyph stays inside its own cell";
        EXPECT_LT(ink.bottom, 128 * (k + 1) - 1);
        EXPECT_NEAR(ink.centreY() - 128 * k, 64, 10);
        EXPECT_NEAR(ink.centreX(), 64, 4);
    }
}

TEST(Text, ExitCardWrapsIntoTwoCentredDarkLines)
{
    Font arial(u"Arial", 12, FontStyleBold, UnitPoint);
    const Painted card = paint(&arial, u"Press ESC to Exit", -1, 128, 64);
    ASSERT_EQ(card.status, Status::Ok);
    EXPECT_EQ(textLines(card), 2);
    const Ink ink = inkOf(card);
    EXPECT_NEAR(ink.centreX(), 64, 3);
    EXPECT_NEAR(ink.centreY(), 32, 4);
    EXPECT_GT(ink.darkest, 200) << "black text";
    EXPECT_EQ(card.darkness(0, 0), 0);
    EXPECT_EQ(card.darkness(127, 63), 0);
}

TEST(Text, LengthLimitsTheCharactersDrawn)
{
    Font font(u"DejaVu Sans", 24, FontStyleBold, UnitPoint);
    EXPECT_EQ(paint(&font, u"AB", 1, 64, 64).bgra, paint(&font, u"A", -1, 64, 64).bgra);
    EXPECT_NE(paint(&font, u"AB", 2, 64, 64).bgra, paint(&font, u"A", -1, 64, 64).bgra);
}

TEST(Text, TextIsClippedToItsRectangle)
{
    Font font(u"DejaVu Sans", 72, FontStyleBold, UnitPoint);
    const Painted card = paint(&font, u"W", -1, 128, 128, RectF{0, 0, 128, 40});
    const Ink ink = inkOf(card);
    EXPECT_GT(ink.pixels, 0);
    EXPECT_LT(ink.bottom, 40);
}

// The layout of a string is kept for the next call; a call that differs in
// font, size, width or text must be laid out anew, and one that matches must
// draw exactly what a fresh layout draws.
TEST(Text, AKeptLayoutServesOnlyTheSameStringFontAndWidth)
{
    Font big(u"DejaVu Sans", 48, FontStyleBold, UnitPoint);
    Font small(u"DejaVu Sans", 24, FontStyleBold, UnitPoint);
    const Painted first = paint(&big, u"A", -1, 128, 128);
    const Painted smaller = paint(&small, u"A", -1, 128, 128);
    EXPECT_LT(inkOf(smaller).bottom - inkOf(smaller).top, inkOf(first).bottom - inkOf(first).top - 10);
    const Painted other = paint(&big, u"B", -1, 128, 128);
    EXPECT_NE(other.bgra, first.bgra);
    // Half as wide a rectangle centres the letter in its own half.
    const Painted narrow = paint(&big, u"A", -1, 128, 128, RectF{0, 0, 64, 128});
    EXPECT_NEAR(inkOf(narrow).centreX(), 32, 4);
    // A font made anew with the same description draws the same.
    Font again(u"DejaVu Sans", 48, FontStyleBold, UnitPoint);
    EXPECT_EQ(paint(&big, u"A", -1, 128, 128).bgra, first.bgra);
    EXPECT_EQ(paint(&again, u"A", -1, 128, 128).bgra, first.bgra);
}

TEST(Text, NoUsableFontDrawsNothingAndFails)
{
    const Painted noFont = paint(nullptr, u"A", -1, 64, 64);
    EXPECT_NE(noFont.status, Status::Ok);
    EXPECT_EQ(inkOf(noFont).darkest, 0);

    Font unusable(u"DejaVu Sans", 0, FontStyleBold, UnitPoint);
    const Painted card = paint(&unusable, u"A", -1, 64, 64);
    EXPECT_NE(card.status, Status::Ok);
    EXPECT_EQ(inkOf(card).darkest, 0);
}

// Other fontconfig setups, each in a fresh process of this program.

const char* childCase()
{
    return std::getenv("ZINDLE_FONTCONFIG_CASE");
}

class OtherFontSetup : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zindle-fontconfig-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

    // Runs the test ChildInFontSetup.<name> with fonts.conf holding `body`.
    void runChild(const std::string& name, const std::string& body)
    {
        const std::string config = folder + "/fonts.conf";
        std::ofstream(config) << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
                              << body << "</fontconfig>\n";
        char self[4096] = {};
        ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
        const std::string command = "ZINDLE_FONTCONFIG_CASE=" + name + " FONTCONFIG_FILE='" + config + "' '" + self +
                                    "' --gtest_filter=ChildInFontSetup." + name + " 2>&1";
        FILE* child = popen(command.c_str(), "r");
        ASSERT_NE(child, nullptr);
        std::string output;
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, child)) > 0;)
            output.append(buffer, got);
        const int status = pclose(child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
    }

    std::string folder;
};

constexpr const char* systemFonts = "  <include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>\n";

TEST_F(OtherFontSetup, ImpactAnsweredWithADingbatFace)
{
    runChild("DingbatImpact", std::string(systemFonts) +
                                  "  <match target=\"pattern\"><test name=\"family\"><string>Impact</string></test>\n"
                                  "    <edit name=\"family\" mode=\"append\" binding=\"weak\">"
                                  "<string>D050000L</string></edit></match>\n");
}

TEST_F(OtherFontSetup, ImpactWithAStandIn)
{
    runChild("StandInImpact", std::string(systemFonts) + "  <alias binding=\"same\"><family>Impact</family>"
                                                         "<prefer><family>Liberation Sans</family></prefer></alias>\n");
}

TEST_F(OtherFontSetup, NoFontsAtAll)
{
    runChild("NoFonts", "  <cachedir>" + folder + "/cache</cachedir>\n");
}

class ChildInFontSetup : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* name = childCase();
        if (!name || ::testing::UnitTest::GetInstance()->current_test_info()->name() != std::string(name))
            GTEST_SKIP() << "runs only as a child of OtherFontSetup";
    }
};

TEST_F(ChildInFontSetup, DingbatImpact)
{
    expectLetterBlockA(Font(u"sans-serif", 72, FontStyleBold, UnitPoint).familyName());
}

TEST_F(ChildInFontSetup, StandInImpact)
{
    expectLetterBlockA("Liberation Sans");
}

TEST_F(ChildInFontSetup, NoFonts)
{
    for (const char16_t* family : {u"Impact", u"Arial", u"sans-serif"}) {
        Font font(family, 72, FontStyleBold, UnitPoint);
        EXPECT_FALSE(font.isAvailable());
        const Painted card = paint(&font, u"Press ESC to Exit", -1, 128, 64);
        EXPECT_NE(card.status, Status::Ok);
        ASSERT_EQ(card.width, 128) << "the card itself is still painted";
        EXPECT_EQ(inkOf(card).darkest, 0) << "and stays plain white";
    }
}

} // namespace
