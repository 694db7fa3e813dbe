// What differs, legitimately, between the drawing libraries the contract runs
// on: which font families the machine has and what they are called. Each
// build links the one side it draws with (CairoSide.cpp, GdiplusSide.cpp).
#pragma once

#include <optional>
#include <string>

namespace drawing_side {

// The library's name, for messages.
const char* library();

// Starts the library for the whole test program; false with the reason if it
// cannot be used.
bool start(std::string& why);
void stop();

// The family name of the generic bold sans-serif face, which a missing family
// falls back to; nullopt where the library has no generic family (then the
// fallback is some face of its own choosing).
std::optional<std::string> genericFamily();

// Whether "Impact", the cube's family, is installed (or mapped to a face of
// its own) here; where not, it falls back to the generic family.
bool hasImpact();

// The face "Arial" is drawn with, where the library names it; nullopt where
// it only answers that the family exists.
std::optional<std::string> arialFace();

// The longest side a bitmap may have; nullopt where only memory limits it.
std::optional<int> longestSide();

// A family installed under its own name on every test machine.
const char16_t* installedFamily();

} // namespace drawing_side
