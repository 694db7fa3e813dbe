// Voice choice and the markup that says a character's name.
#include "platform/win32/Win32Voices.h"

#include "platform/win32/Win32Text.h"

namespace platform::win32 {

std::vector<LANGID> voiceLanguages(std::wstring_view attribute)
{
    std::vector<LANGID> languages;
    while (!attribute.empty()) {
        const std::size_t end = attribute.find(L';');
        const std::wstring_view part = attribute.substr(0, end);
        unsigned value = 0;
        bool number = !part.empty() && part.size() <= 4;
        for (wchar_t c : part) {
            unsigned digit;
            if (c >= L'0' && c <= L'9')
                digit = static_cast<unsigned>(c - L'0');
            else if (c >= L'a' && c <= L'f')
                digit = static_cast<unsigned>(c - L'a' + 10);
            else if (c >= L'A' && c <= L'F')
                digit = static_cast<unsigned>(c - L'A' + 10);
            else {
                number = false;
                break;
            }
            value = value * 16 + digit;
        }
        if (number && value != 0)
            languages.push_back(static_cast<LANGID>(value));
        if (end == std::wstring_view::npos)
            break;
        attribute.remove_prefix(end + 1);
    }
    return languages;
}

int chooseVoice(const std::vector<std::vector<LANGID>>& voices, LANGID wanted)
{
    auto find = [&voices](auto fits) {
        for (std::size_t i = 0; i < voices.size(); ++i)
            for (LANGID language : voices[i])
                if (fits(language))
                    return static_cast<int>(i);
        return -1;
    };
    int chosen = find([wanted](LANGID language) { return language == wanted; });
    if (chosen < 0)
        chosen = find([wanted](LANGID language) { return PRIMARYLANGID(language) == PRIMARYLANGID(wanted); });
    if (chosen < 0)
        chosen = find([](LANGID language) { return PRIMARYLANGID(language) == LANG_ENGLISH; });
    return chosen;
}

LANGID languageOfTag(std::string_view tag)
{
    std::wstring name = widen(tag);
    for (wchar_t& c : name)
        if (c == L'_')
            c = L'-';
    const LCID locale = LocaleNameToLCID(name.c_str(), 0);
    // Windows answers an unknown name with 0, or with the "custom unspecified" locale.
    if (locale == 0 || locale == LOCALE_CUSTOM_UNSPECIFIED || locale == LOCALE_CUSTOM_DEFAULT)
        return 0;
    return LANGIDFROMLCID(locale);
}

std::wstring spellingMarkup(std::string_view utf8Character)
{
    std::wstring markup = L"<spell>";
    for (wchar_t c : widen(utf8Character)) {
        switch (c) {
        case L'&':
            markup += L"&amp;";
            break;
        case L'<':
            markup += L"&lt;";
            break;
        case L'>':
            markup += L"&gt;";
            break;
        case L'"':
            markup += L"&quot;";
            break;
        case L'\'':
            markup += L"&apos;";
            break;
        default:
            markup += c;
        }
    }
    markup += L"</spell>";
    return markup;
}

} // namespace platform::win32
