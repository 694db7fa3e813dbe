// Locale names and language tags to espeak-ng's voice names, which are
// lower-case language tags with '-'.
#include "platform/espeak/SpeechLanguage.h"

#include <cstdlib>

namespace platform {

namespace {

std::string normalized(std::string_view tag)
{
    std::string result;
    for (char c : tag) {
        if (c == '.' || c == '@')
            break;
        if (c == '_')
            c = '-';
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        result += c;
    }
    return result;
}

} // namespace

std::string desktopLanguage(const LanguageEnvironment& environment)
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = environment(name);
        if (value == nullptr || *value == '\0')
            continue;
        std::string tag = normalized(value);
        if (tag.empty() || tag == "c" || tag == "posix")
            return "en";
        return tag;
    }
    return "en";
}

std::string desktopLanguage()
{
    return desktopLanguage([](const char* name) { return std::getenv(name); });
}

std::vector<std::string> voiceCandidates(std::string_view tag)
{
    std::string whole = normalized(tag);
    while (!whole.empty() && whole.back() == '-')
        whole.pop_back();
    if (whole.empty())
        return {};
    std::vector<std::string> candidates;
    // Shorter and shorter: "zh-hant-tw", "zh-hant", "zh".
    for (std::string part = whole;;) {
        candidates.push_back(part);
        const std::size_t dash = part.rfind('-');
        if (dash == std::string::npos || dash == 0)
            break;
        part.resize(dash);
    }
    if (candidates.back() == "zh")
        candidates.back() = "cmn";
    return candidates;
}

} // namespace platform
