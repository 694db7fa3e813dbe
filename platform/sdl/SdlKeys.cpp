// SDL key events to Windows virtual-key codes. Each group says why it is found
// by keycode (what the key types in the active layout) or by scancode (where the
// key sits on the keyboard); the desktop system the toy was made for mixes the
// two in the same way.
#include "platform/sdl/SdlKeys.h"

#include "platform/Message.h"

#include <SDL.h>

namespace platform {

namespace {

struct KeyPair {
    int from;
    int virtualKey;
};

// The keypad, by scancode: the keys send the same scancode and keycode whatever
// NumLock says, so NumLock alone decides between digits and navigation.
struct KeypadKey {
    SDL_Scancode scancode;
    int numLockOn;
    int numLockOff;
};

// clang-format off
constexpr KeypadKey keypadKeys[] = {
    {SDL_SCANCODE_KP_0, 0x60, 0x2D},       // Insert
    {SDL_SCANCODE_KP_1, 0x61, 0x23},       // End
    {SDL_SCANCODE_KP_2, 0x62, 0x28},       // Down
    {SDL_SCANCODE_KP_3, 0x63, 0x22},       // Page Down
    {SDL_SCANCODE_KP_4, 0x64, 0x25},       // Left
    {SDL_SCANCODE_KP_5, 0x65, 0x0C},       // Clear
    {SDL_SCANCODE_KP_6, 0x66, 0x27},       // Right
    {SDL_SCANCODE_KP_7, 0x67, 0x24},       // Home
    {SDL_SCANCODE_KP_8, 0x68, 0x26},       // Up
    {SDL_SCANCODE_KP_9, 0x69, 0x21},       // Page Up
    {SDL_SCANCODE_KP_PERIOD, 0x6E, 0x2E},  // Delete
    {SDL_SCANCODE_KP_MULTIPLY, 0x6A, 0x6A},
    {SDL_SCANCODE_KP_PLUS, 0x6B, 0x6B},
    {SDL_SCANCODE_KP_MINUS, 0x6D, 0x6D},
    {SDL_SCANCODE_KP_DIVIDE, 0x6F, 0x6F},
    {SDL_SCANCODE_KP_ENTER, 0x0D, 0x0D},
};
// clang-format on

// Keys named for what they do, by keycode: they are the same in every layout.
// clang-format off
constexpr KeyPair namedKeys[] = {
    {SDLK_BACKSPACE, 0x08},   {SDLK_TAB, 0x09},        {SDLK_RETURN, 0x0D},
    {SDLK_LSHIFT, 0x10},      {SDLK_RSHIFT, 0x10},     {SDLK_LCTRL, 0x11},
    {SDLK_RCTRL, 0x11},       {SDLK_LALT, 0x12},       {SDLK_RALT, 0x12},
    {SDLK_PAUSE, 0x13},       {SDLK_CAPSLOCK, 0x14},   {SDLK_ESCAPE, 0x1B},
    {SDLK_SPACE, 0x20},       {SDLK_PAGEUP, 0x21},     {SDLK_PAGEDOWN, 0x22},
    {SDLK_END, 0x23},         {SDLK_HOME, 0x24},       {SDLK_LEFT, 0x25},
    {SDLK_UP, 0x26},          {SDLK_RIGHT, 0x27},      {SDLK_DOWN, 0x28},
    {SDLK_PRINTSCREEN, 0x2C}, {SDLK_INSERT, 0x2D},     {SDLK_DELETE, 0x2E},
    {SDLK_LGUI, 0x5B},        {SDLK_RGUI, 0x5C},       {SDLK_APPLICATION, 0x5D},
    {SDLK_MENU, 0x5D},        {SDLK_NUMLOCKCLEAR, 0x90}, {SDLK_SCROLLLOCK, 0x91},
};
// clang-format on

// Punctuation, by keycode first: "," and "." have cubes, and the key that
// types them should throw them in any layout.
// clang-format off
constexpr KeyPair punctuationKeys[] = {
    {SDLK_SEMICOLON, 0xBA},   {SDLK_EQUALS, 0xBB},    {SDLK_COMMA, 0xBC},
    {SDLK_MINUS, 0xBD},       {SDLK_PERIOD, 0xBE},    {SDLK_SLASH, 0xBF},
    {SDLK_BACKQUOTE, 0xC0},   {SDLK_LEFTBRACKET, 0xDB}, {SDLK_BACKSLASH, 0xDC},
    {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_QUOTE, 0xDE},
};
// clang-format on

// The same keys by position, for layouts whose key there types a letter outside
// the table ("ö", "ù"): the desktop system gives every such key an OEM code
// too, so the child's press still counts.
// clang-format off
constexpr KeyPair punctuationPositions[] = {
    {SDL_SCANCODE_SEMICOLON, 0xBA},   {SDL_SCANCODE_EQUALS, 0xBB},
    {SDL_SCANCODE_COMMA, 0xBC},       {SDL_SCANCODE_MINUS, 0xBD},
    {SDL_SCANCODE_PERIOD, 0xBE},      {SDL_SCANCODE_SLASH, 0xBF},
    {SDL_SCANCODE_GRAVE, 0xC0},       {SDL_SCANCODE_LEFTBRACKET, 0xDB},
    {SDL_SCANCODE_BACKSLASH, 0xDC},   {SDL_SCANCODE_RIGHTBRACKET, 0xDD},
    {SDL_SCANCODE_APOSTROPHE, 0xDE},
};
// clang-format on

template <typename Table>
int lookUp(const Table& table, int from)
{
    for (const KeyPair& pair : table) {
        if (pair.from == from)
            return pair.virtualKey;
    }
    return 0;
}

int keypadKey(int keycode, int scancode, unsigned modifiers)
{
    const bool numLock = (modifiers & KMOD_NUM) != 0;
    for (const KeypadKey& key : keypadKeys) {
        if (key.scancode == scancode || SDL_SCANCODE_TO_KEYCODE(key.scancode) == keycode)
            return numLock ? key.numLockOn : key.numLockOff;
    }
    return 0;
}

// The main-row digits, by scancode: on layouts such as AZERTY the row types
// symbols unshifted, yet the desktop system still reports the digits' codes.
// By keycode as well, for keys a test tool types on borrowed keycodes.
int digitKey(int keycode, int scancode)
{
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return 0x31 + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0)
        return 0x30;
    if (keycode >= SDLK_0 && keycode <= SDLK_9)
        return 0x30 + (keycode - SDLK_0);
    return 0;
}

// Letters, by keycode: the desktop system's letter codes follow the layout
// (the key marked Z on a German keyboard sends Z's code), and so does SDL's
// keycode, which is always the unshifted lower-case letter.
int letterKey(int keycode)
{
    if (keycode >= SDLK_a && keycode <= SDLK_z)
        return 0x41 + (keycode - SDLK_a);
    return 0;
}

// Function keys, by keycode, in their two runs.
int functionKey(int keycode)
{
    if (keycode >= SDLK_F1 && keycode <= SDLK_F12)
        return 0x70 + (keycode - SDLK_F1);
    if (keycode >= SDLK_F13 && keycode <= SDLK_F24)
        return 0x7C + (keycode - SDLK_F13);
    return 0;
}

} // namespace

int translateKey(int keycode, int scancode, unsigned modifiers)
{
    // Keypad first: its keycodes never collide with the others, but its
    // meaning depends on NumLock. Letters before positions, so that an AZERTY
    // "m" on the US semicolon's place stays a letter.
    if (int key = keypadKey(keycode, scancode, modifiers))
        return key;
    if (int key = letterKey(keycode))
        return key;
    if (int key = digitKey(keycode, scancode))
        return key;
    if (int key = functionKey(keycode))
        return key;
    if (int key = lookUp(namedKeys, keycode))
        return key;
    if (int key = lookUp(punctuationKeys, keycode))
        return key;
    return lookUp(punctuationPositions, scancode);
}

bool altDown(int virtualKey, unsigned modifiers)
{
    return (modifiers & KMOD_ALT) != 0 || virtualKey == VK_MENU;
}

bool isSystemKey(int virtualKey, unsigned modifiers)
{
    return altDown(virtualKey, modifiers) || virtualKey == VK_F10;
}

} // namespace platform
