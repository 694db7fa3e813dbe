#include "app/Options.h"

#include <string_view>

namespace {

// A language tag as BCP 47 spells one ("de", "pt-BR", "zh-Hant-TW"), or as
// POSIX locales do ("pt_BR"): letters, digits, '-' and '_', short. Anything
// else would reach the speech library's voice lookup unchecked.
bool plausibleLanguage(std::string_view tag)
{
    if (tag.empty() || tag.size() > 35)
        return false;
    for (char c : tag) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != '-' && c != '_')
            return false;
    }
    const char first = tag.front();
    return (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z');
}

} // namespace

Options parseOptions(const std::vector<std::string>& arguments)
{
    Options options;
    constexpr std::string_view languagePrefix = "--language=";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--mute") {
            options.sound = false;
        } else if (argument == "--no-speech") {
            options.speech = false;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--language" || argument.starts_with(languagePrefix)) {
            std::string tag;
            if (argument == "--language") {
                if (i + 1 == arguments.size()) {
                    options.error = "--language needs a language, such as --language=de";
                    return options;
                }
                tag = arguments[++i];
            } else {
                tag = argument.substr(languagePrefix.size());
            }
            if (!plausibleLanguage(tag)) {
                options.error = "--language: \"" + tag + "\" is not a language tag such as de, fr or pt-BR";
                return options;
            }
            options.language = tag;
        } else {
            options.error = "unknown option \"" + argument + "\"";
            return options;
        }
    }
    return options;
}

const char* usageText()
{
    return "Usage: zindle [OPTION]...\n"
           "A keyboard toy for small children: every key throws its lettered cube,\n"
           "the space bar throws them all, and ESC ends the toy.\n"
           "\n"
           "  --mute            play without any sound; no audio device is opened\n"
           "  --no-speech       play the tones, but do not say the characters' names\n"
           "  --language=LANG   say the names in LANG (for example de, fr or pt-BR)\n"
           "                    instead of the desktop's language\n"
           "  --help            print this help and leave\n";
}
