// Choosing a SAPI voice by language, and what a voice is asked to say for one
// character. Kept apart from the speech calls so that tests can check them.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace platform::win32 {

// A voice's "Language" attribute: language identifiers in hexadecimal,
// separated by ';' ("409;9"). What is not a number is skipped.
std::vector<LANGID> voiceLanguages(std::wstring_view attribute);

// The voice (index into `voices`, each the languages it speaks) for
// `wanted`: one that speaks exactly it, else one of the same language in
// another region, else an English one; -1 when none fits.
int chooseVoice(const std::vector<std::vector<LANGID>>& voices, LANGID wanted);

// The language of an IETF-style tag ("de", "pt-BR", also "pt_BR"); 0 when
// Windows knows no such language.
LANGID languageOfTag(std::string_view tag);

// SAPI's XML that spells one character out by its name ("A" is said as the
// letter, "?" as its name), the character escaped for XML.
std::wstring spellingMarkup(std::string_view utf8Character);

} // namespace platform::win32
