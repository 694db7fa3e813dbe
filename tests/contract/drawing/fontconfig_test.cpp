// The Cairo side's fonts under other fontconfig setups: "Impact" answered
// with a dingbat face or with a metric stand-in, and no fonts at all.
// fontconfig's setup is fixed per process, so each case runs this program
// again with FONTCONFIG_FILE set and only its own child case selected.
#include "tests/contract/drawing/Painted.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace platform;
using namespace drawing_tests;

// The letter block's cell: "A" at 72 pt bold in the font "Impact" resolves
// to, centred in 128 x 128, drawn exactly as the named reference family draws
// it. A dingbat face would put a star there instead.
void expectLetterBlockA(const std::string& referenceFamily)
{
    Font impact(u"Impact", 72, FontStyleBold, UnitPoint);
    ASSERT_TRUE(impact.isAvailable());
    EXPECT_EQ(impact.familyName(), referenceFamily);
    const Painted cell = paint(&impact, u"A", 128, 128);
    ASSERT_EQ(cell.status, Status::Ok);
    const Ink ink = inkOf(cell);
    EXPECT_NEAR(ink.centreX(), 64, 4);
    EXPECT_NEAR(ink.centreY(), 64, 10);
    EXPECT_GT(ink.bottom - ink.top, 55) << "72 pt is 96 px: a capital is about 70 px high";
    EXPECT_LT(ink.bottom - ink.top, 90);

    std::u16string family(referenceFamily.begin(), referenceFamily.end());
    Font reference(family.c_str(), 72, FontStyleBold, UnitPoint);
    ASSERT_EQ(reference.familyName(), referenceFamily);
    EXPECT_EQ(cell.bgra, paint(&reference, u"A", 128, 128).bgra);
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
        const Painted card = paint(&font, u"Press ESC to Exit", 128, 64);
        EXPECT_NE(card.status, Status::Ok);
        ASSERT_EQ(card.width, 128) << "the card itself is still painted";
        EXPECT_EQ(inkOf(card).darkest, 0) << "and stays plain white";
    }
}

} // namespace
