// The window icon: a yellow lettered cube with a red "Z", 16 by 16 pixels in 16
// colours. Each row is a string of palette keys, so the picture can be read
// and edited right here.
#pragma once

#include <cstdint>
#include <string_view>

namespace res {

// The palette and the picture are laid out by hand, to be read.
// clang-format off

inline constexpr int windowIconSize = 16;

// Palette keys in palette order: the n-th character names colour n.
inline constexpr std::string_view windowIconKeys = ".kfwrtsFRbgGpPoO";

// 0xAARRGGBB; colour 0 is see-through.
inline constexpr std::uint32_t windowIconPalette[16] = {
    0x00000000,  // .  see-through
    0xFF22223B,  // k  outline
    0xFFFFD23F,  // f  front face
    0xFFFFFFFF,  // w  shine
    0xFFE63946,  // r  letter
    0xFFFFF1A8,  // t  top face
    0xFFE8A317,  // s  side face
    0xFFF4C430,  // F  front face, shaded
    0xFFB02A35,  // R  letter, shaded
    0xFF3A86FF,  // b  spare blue
    0xFF8AC926,  // g  spare green
    0xFF4E7A12,  // G  spare dark green
    0xFFFF70A6,  // p  spare pink
    0xFF9B5DE5,  // P  spare purple
    0xFFFF924C,  // o  spare orange
    0xFF7A3B00,  // O  spare brown
};

inline constexpr std::string_view windowIconRows[windowIconSize] = {
    "...kkkkkkkkkkkkk",
    "..ktttttttttttkk",
    ".ktttttttttttksk",
    "kkkkkkkkkkkkkssk",
    "kwwfffffffffkssk",
    "kwffffffffffkssk",
    "kffrrrrrrrffkssk",
    "kfffffffrRffkssk",
    "kffffffrRfffkssk",
    "kfffffrRffffkssk",
    "kffffrRfffffkssk",
    "kfffrRffffffkssk",
    "kffrrrrrrrffkssk",
    "kFFFFFFFFFFFksk.",
    "kFFFFFFFFFFFkk..",
    "kkkkkkkkkkkkk...",
};

// clang-format on

} // namespace res
