// The language the names are said in, from the locale variables and from a
// tag, down to the voices espeak-ng is asked for.
#include "platform/espeak/SpeechLanguage.h"

#include <gtest/gtest.h>

#include <map>

using platform::desktopLanguage;
using platform::voiceCandidates;

namespace {

std::string languageOf(const std::map<std::string, std::string>& variables)
{
    return desktopLanguage([&variables](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    });
}

} // namespace

TEST(SpeechLanguage, LocaleVariablesInPrecedenceOrder)
{
    EXPECT_EQ(languageOf({{"LC_ALL", "fr_FR.UTF-8"}, {"LC_MESSAGES", "de_DE"}, {"LANG", "es_ES"}}), "fr-fr");
    EXPECT_EQ(languageOf({{"LC_MESSAGES", "de_DE"}, {"LANG", "es_ES"}}), "de-de");
    EXPECT_EQ(languageOf({{"LANG", "es_ES.ISO-8859-1"}}), "es-es");
    // Set but empty counts as unset, as for the C library.
    EXPECT_EQ(languageOf({{"LC_ALL", ""}, {"LANG", "pl_PL.UTF-8"}}), "pl-pl");
    EXPECT_EQ(languageOf({{"LANG", "sr_RS.UTF-8@latin"}}), "sr-rs");
    EXPECT_EQ(languageOf({{"LANG", "sr_RS@latin"}}), "sr-rs");
}

TEST(SpeechLanguage, PortableLocalesAndNoneAreEnglish)
{
    EXPECT_EQ(languageOf({}), "en");
    EXPECT_EQ(languageOf({{"LANG", "C"}}), "en");
    EXPECT_EQ(languageOf({{"LANG", "C.UTF-8"}}), "en");
    EXPECT_EQ(languageOf({{"LC_ALL", "POSIX"}, {"LANG", "de_DE.UTF-8"}}), "en");
}

TEST(SpeechLanguage, VoicesFromTheRegionDownToTheLanguage)
{
    using List = std::vector<std::string>;
    EXPECT_EQ(voiceCandidates("pt-BR"), (List{"pt-br", "pt"}));
    EXPECT_EQ(voiceCandidates("pt_BR"), (List{"pt-br", "pt"}));
    EXPECT_EQ(voiceCandidates("de"), (List{"de"}));
    EXPECT_EQ(voiceCandidates("de_DE.UTF-8"), (List{"de-de", "de"}));
    EXPECT_EQ(voiceCandidates("zh-Hant-TW"), (List{"zh-hant-tw", "zh-hant", "cmn"}));
    EXPECT_EQ(voiceCandidates("en-"), (List{"en"}));
    EXPECT_TRUE(voiceCandidates("").empty());
    EXPECT_TRUE(voiceCandidates("-").empty());
}
