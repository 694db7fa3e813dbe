// UTF-8, as the program writes its texts, to the UTF-16 Windows takes.
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// Invalid sequences become U+FFFD.
std::wstring widen(std::string_view text);

} // namespace platform::win32
