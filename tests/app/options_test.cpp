#include "app/Options.h"

#include <gtest/gtest.h>

namespace {

TEST(Options, NoArgumentsPlayWithSoundAndSpeechInTheDesktopsLanguage)
{
    const Options options = parseOptions({});
    EXPECT_TRUE(options.sound);
    EXPECT_TRUE(options.speech);
    EXPECT_TRUE(options.language.empty());
    EXPECT_FALSE(options.help);
    EXPECT_TRUE(options.error.empty());
}

TEST(Options, EachOptionSetsOnlyItsOwnField)
{
    EXPECT_FALSE(parseOptions({"--mute"}).sound);
    EXPECT_TRUE(parseOptions({"--mute"}).speech);
    EXPECT_FALSE(parseOptions({"--no-speech"}).speech);
    EXPECT_TRUE(parseOptions({"--no-speech"}).sound);
    EXPECT_TRUE(parseOptions({"--help"}).help);
    EXPECT_TRUE(parseOptions({"-h"}).help);
    const Options both = parseOptions({"--no-speech", "--mute"});
    EXPECT_FALSE(both.sound);
    EXPECT_FALSE(both.speech);
}

TEST(Options, LanguageInEitherSpelling)
{
    EXPECT_EQ(parseOptions({"--language=de"}).language, "de");
    EXPECT_EQ(parseOptions({"--language", "pt-BR"}).language, "pt-BR");
    EXPECT_EQ(parseOptions({"--language=pt_BR"}).language, "pt_BR");
    EXPECT_TRUE(parseOptions({"--language=zh-Hant-TW", "--mute"}).error.empty());
}

TEST(Options, WhatCannotBeUsedIsRefusedWithAReason)
{
    EXPECT_NE(parseOptions({"--loud"}).error.find("--loud"), std::string::npos);
    EXPECT_FALSE(parseOptions({"wumbly.jpg"}).error.empty());
    EXPECT_FALSE(parseOptions({"--language"}).error.empty());
    EXPECT_FALSE(parseOptions({"--language="}).error.empty());
    // Nothing that could walk out of the voice folder or reach a shell.
    EXPECT_FALSE(parseOptions({"--language=../../etc/passwd"}).error.empty());
    EXPECT_FALSE(parseOptions({"--language=de;rm"}).error.empty());
    EXPECT_FALSE(parseOptions({"--language=-de"}).error.empty());
    EXPECT_FALSE(parseOptions({"--language=" + std::string(40, 'a')}).error.empty());
    EXPECT_FALSE(parseOptions({"--mute", "--bogus", "--help"}).help);
}

TEST(Options, UsageNamesEveryOption)
{
    const std::string usage = usageText();
    for (const char* option : {"--mute", "--no-speech", "--language=", "--help"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

} // namespace
