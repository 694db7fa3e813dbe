// The voice chosen for a language, and what it is asked to say.
#include "platform/win32/Win32Voices.h"

#include <gtest/gtest.h>

using namespace platform::win32;

namespace {

constexpr LANGID englishUs = 0x0409, englishUk = 0x0809, german = 0x0407, swissGerman = 0x0807, french = 0x040C;

TEST(Win32Voices, ReadsTheLanguageAttribute)
{
    EXPECT_EQ(voiceLanguages(L"409"), (std::vector<LANGID>{0x409}));
    EXPECT_EQ(voiceLanguages(L"409;9"), (std::vector<LANGID>{0x409, 0x9}));
    EXPECT_EQ(voiceLanguages(L"40C;;x;12345;0;807"), (std::vector<LANGID>{0x40C, 0x807}));
    EXPECT_TRUE(voiceLanguages(L"").empty());
}

TEST(Win32Voices, ChoosesExactThenSameLanguageThenEnglish)
{
    const std::vector<std::vector<LANGID>> voices = {{englishUk}, {swissGerman}, {german}, {}};
    EXPECT_EQ(chooseVoice(voices, german), 2);
    EXPECT_EQ(chooseVoice(voices, 0x0C07 /* Austrian German */), 1);
    EXPECT_EQ(chooseVoice(voices, englishUs), 0);
    EXPECT_EQ(chooseVoice(voices, french), 0);
    EXPECT_EQ(chooseVoice({{german}, {}}, french), -1);
    EXPECT_EQ(chooseVoice({}, englishUs), -1);
}

TEST(Win32Voices, KnowsLanguagesByTag)
{
    EXPECT_EQ(languageOfTag("de-DE"), german);
    EXPECT_EQ(PRIMARYLANGID(languageOfTag("pt_BR")), LANG_PORTUGUESE);
    EXPECT_EQ(PRIMARYLANGID(languageOfTag("fr")), LANG_FRENCH);
    EXPECT_EQ(languageOfTag("qq-ZZ"), 0);
}

TEST(Win32Voices, SpellsOneCharacterAsEscapedMarkup)
{
    EXPECT_EQ(spellingMarkup("A"), L"<spell>A</spell>");
    EXPECT_EQ(spellingMarkup("?"), L"<spell>?</spell>");
    EXPECT_EQ(spellingMarkup("<"), L"<spell>&lt;</spell>");
    EXPECT_EQ(spellingMarkup("&"), L"<spell>&amp;</spell>");
    EXPECT_EQ(spellingMarkup("\xC3\x84"), L"<spell>\u00C4</spell>");
}

} // namespace
