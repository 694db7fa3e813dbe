// The language the names are said in: asked for by tag, or the desktop's own
// from the locale variables, turned into the voice names espeak-ng knows.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Reads an environment variable; nullptr when unset.
using LanguageEnvironment = std::function<const char*(const char*)>;

// The desktop's language as a lower-case tag: the first of LC_ALL,
// LC_MESSAGES and LANG that is set and not empty, without its encoding and
// modifier ("de_DE.UTF-8" -> "de-de"); "C", "POSIX" or nothing -> "en".
std::string desktopLanguage(const LanguageEnvironment& environment);
std::string desktopLanguage();

// The voices to try for a tag, most fitting first: "pt-BR" and "pt_BR" ->
// {"pt-br", "pt"}; "de" -> {"de"}. Mandarin's voice is "cmn", not "zh".
std::vector<std::string> voiceCandidates(std::string_view tag);

} // namespace platform
