// The key table: SDL key events to Windows virtual-key codes, group by group,
// and which key-downs count as system keys.
#include "platform/sdl/SdlKeys.h"

#include <SDL.h>
#include <gtest/gtest.h>

using platform::isSystemKey;
using platform::translateKey;

namespace {

// What SDL sends for a key in its default (US) layout: its keymap needs a video
// driver, and the dummy one needs no display.
class KeyTable : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        ASSERT_EQ(0, SDL_VideoInit("dummy")) << SDL_GetError();
    }
    static void TearDownTestSuite()
    {
        SDL_VideoQuit();
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    }

    static int key(SDL_Scancode scancode, unsigned modifiers = KMOD_NONE)
    {
        return translateKey(SDL_GetKeyFromScancode(scancode), scancode, modifiers);
    }
    // A key a test tool typed on a borrowed keycode: only the keycode is right.
    static int keycodeOnly(int keycode, unsigned modifiers = KMOD_NONE)
    {
        return translateKey(keycode, SDL_SCANCODE_UNKNOWN, modifiers);
    }
};

} // namespace

TEST_F(KeyTable, LettersAreUpperCaseAsciiWhateverTheShiftState)
{
    for (int i = 0; i < 26; ++i) {
        const auto scancode = static_cast<SDL_Scancode>(SDL_SCANCODE_A + i);
        EXPECT_EQ(0x41 + i, key(scancode)) << "letter " << i;
        EXPECT_EQ(0x41 + i, key(scancode, KMOD_LSHIFT | KMOD_CAPS)) << "letter " << i;
    }
}

TEST_F(KeyTable, LettersFollowTheLayout)
{
    // German QWERTZ: the key on the US "Y" place types "z" and is Z's code.
    EXPECT_EQ(0x5A, translateKey(SDLK_z, SDL_SCANCODE_Y, KMOD_NONE));
    // French AZERTY: "m" sits on the US semicolon's place and stays a letter.
    EXPECT_EQ(0x4D, translateKey(SDLK_m, SDL_SCANCODE_SEMICOLON, KMOD_NONE));
}

TEST_F(KeyTable, MainRowDigitsGoByPlaceSoAzertyStillSendsDigits)
{
    EXPECT_EQ(0x30, key(SDL_SCANCODE_0));
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(0x31 + i, key(static_cast<SDL_Scancode>(SDL_SCANCODE_1 + i)));
    // AZERTY's "1" key types "&" unshifted.
    EXPECT_EQ(0x31, translateKey(SDLK_AMPERSAND, SDL_SCANCODE_1, KMOD_NONE));
    // Shift+1 is still the 1 key, not "!" (whose code 0x21 is Page Up's).
    EXPECT_EQ(0x31, key(SDL_SCANCODE_1, KMOD_LSHIFT));
    // A digit typed on a borrowed keycode, as test tools do.
    EXPECT_EQ(0x37, keycodeOnly(SDLK_7));
}

TEST_F(KeyTable, NavigationAndEditingKeys)
{
    EXPECT_EQ(0x20, key(SDL_SCANCODE_SPACE));
    EXPECT_EQ(0x21, key(SDL_SCANCODE_PAGEUP));
    EXPECT_EQ(0x22, key(SDL_SCANCODE_PAGEDOWN));
    EXPECT_EQ(0x23, key(SDL_SCANCODE_END));
    EXPECT_EQ(0x24, key(SDL_SCANCODE_HOME));
    EXPECT_EQ(0x25, key(SDL_SCANCODE_LEFT));
    EXPECT_EQ(0x26, key(SDL_SCANCODE_UP));
    EXPECT_EQ(0x27, key(SDL_SCANCODE_RIGHT));
    EXPECT_EQ(0x28, key(SDL_SCANCODE_DOWN));
    EXPECT_EQ(0x2D, key(SDL_SCANCODE_INSERT));
    EXPECT_EQ(0x2E, key(SDL_SCANCODE_DELETE));
    EXPECT_EQ(0x08, key(SDL_SCANCODE_BACKSPACE));
    EXPECT_EQ(0x09, key(SDL_SCANCODE_TAB));
    EXPECT_EQ(0x0D, key(SDL_SCANCODE_RETURN));
    EXPECT_EQ(0x1B, key(SDL_SCANCODE_ESCAPE));
}

TEST_F(KeyTable, ModifierLockAndSystemKeys)
{
    EXPECT_EQ(0x10, key(SDL_SCANCODE_LSHIFT));
    EXPECT_EQ(0x10, key(SDL_SCANCODE_RSHIFT));
    EXPECT_EQ(0x11, key(SDL_SCANCODE_LCTRL));
    EXPECT_EQ(0x11, key(SDL_SCANCODE_RCTRL));
    EXPECT_EQ(0x12, key(SDL_SCANCODE_LALT));
    EXPECT_EQ(0x12, key(SDL_SCANCODE_RALT));
    EXPECT_EQ(0x13, key(SDL_SCANCODE_PAUSE));
    EXPECT_EQ(0x14, key(SDL_SCANCODE_CAPSLOCK));
    EXPECT_EQ(0x2C, key(SDL_SCANCODE_PRINTSCREEN));
    EXPECT_EQ(0x5B, key(SDL_SCANCODE_LGUI));
    EXPECT_EQ(0x5C, key(SDL_SCANCODE_RGUI));
    EXPECT_EQ(0x5D, key(SDL_SCANCODE_APPLICATION));
    EXPECT_EQ(0x90, key(SDL_SCANCODE_NUMLOCKCLEAR));
    EXPECT_EQ(0x91, key(SDL_SCANCODE_SCROLLLOCK));
}

TEST_F(KeyTable, FunctionKeysInBothRuns)
{
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(0x70 + i, key(static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + i))) << "F" << i + 1;
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(0x7C + i, key(static_cast<SDL_Scancode>(SDL_SCANCODE_F13 + i))) << "F" << i + 13;
}

TEST_F(KeyTable, KeypadWithNumLockOnSendsDigitsAndOperators)
{
    const SDL_Scancode digits[] = {SDL_SCANCODE_KP_0, SDL_SCANCODE_KP_1, SDL_SCANCODE_KP_2, SDL_SCANCODE_KP_3,
                                   SDL_SCANCODE_KP_4, SDL_SCANCODE_KP_5, SDL_SCANCODE_KP_6, SDL_SCANCODE_KP_7,
                                   SDL_SCANCODE_KP_8, SDL_SCANCODE_KP_9};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(0x60 + i, key(digits[i], KMOD_NUM)) << "keypad " << i;
    EXPECT_EQ(0x6E, key(SDL_SCANCODE_KP_PERIOD, KMOD_NUM));
}

TEST_F(KeyTable, KeypadWithNumLockOffSendsNavigation)
{
    EXPECT_EQ(0x2D, key(SDL_SCANCODE_KP_0));
    EXPECT_EQ(0x23, key(SDL_SCANCODE_KP_1));
    EXPECT_EQ(0x28, key(SDL_SCANCODE_KP_2));
    EXPECT_EQ(0x22, key(SDL_SCANCODE_KP_3));
    EXPECT_EQ(0x25, key(SDL_SCANCODE_KP_4));
    EXPECT_EQ(0x0C, key(SDL_SCANCODE_KP_5));
    EXPECT_EQ(0x27, key(SDL_SCANCODE_KP_6));
    EXPECT_EQ(0x24, key(SDL_SCANCODE_KP_7));
    EXPECT_EQ(0x26, key(SDL_SCANCODE_KP_8));
    EXPECT_EQ(0x21, key(SDL_SCANCODE_KP_9));
    EXPECT_EQ(0x2E, key(SDL_SCANCODE_KP_PERIOD));
}

TEST_F(KeyTable, KeypadOperatorsAndEnterIgnoreNumLock)
{
    for (unsigned modifiers : {unsigned{KMOD_NONE}, unsigned{KMOD_NUM}}) {
        EXPECT_EQ(0x6A, key(SDL_SCANCODE_KP_MULTIPLY, modifiers));
        EXPECT_EQ(0x6B, key(SDL_SCANCODE_KP_PLUS, modifiers));
        EXPECT_EQ(0x6D, key(SDL_SCANCODE_KP_MINUS, modifiers));
        EXPECT_EQ(0x6F, key(SDL_SCANCODE_KP_DIVIDE, modifiers));
        EXPECT_EQ(0x0D, key(SDL_SCANCODE_KP_ENTER, modifiers));
    }
}

TEST_F(KeyTable, PunctuationByWhatTheKeyTypes)
{
    EXPECT_EQ(0xBA, key(SDL_SCANCODE_SEMICOLON));
    EXPECT_EQ(0xBB, key(SDL_SCANCODE_EQUALS));
    EXPECT_EQ(0xBC, key(SDL_SCANCODE_COMMA));
    EXPECT_EQ(0xBD, key(SDL_SCANCODE_MINUS));
    EXPECT_EQ(0xBE, key(SDL_SCANCODE_PERIOD));
    EXPECT_EQ(0xBF, key(SDL_SCANCODE_SLASH));
    EXPECT_EQ(0xC0, key(SDL_SCANCODE_GRAVE));
    EXPECT_EQ(0xDB, key(SDL_SCANCODE_LEFTBRACKET));
    EXPECT_EQ(0xDC, key(SDL_SCANCODE_BACKSLASH));
    EXPECT_EQ(0xDD, key(SDL_SCANCODE_RIGHTBRACKET));
    EXPECT_EQ(0xDE, key(SDL_SCANCODE_APOSTROPHE));
    // AZERTY types "," on the US "M" place: it still throws the "," cube.
    EXPECT_EQ(0xBC, translateKey(SDLK_COMMA, SDL_SCANCODE_M, KMOD_NONE));
}

TEST_F(KeyTable, PunctuationPlacesTypingOtherLettersKeepTheirCode)
{
    // German: "ö" on the US semicolon's place, "ü" on the left bracket's.
    EXPECT_EQ(0xBA, translateKey(0xF6, SDL_SCANCODE_SEMICOLON, KMOD_NONE));
    EXPECT_EQ(0xDB, translateKey(0xFC, SDL_SCANCODE_LEFTBRACKET, KMOD_NONE));
}

TEST_F(KeyTable, UnknownKeysAreZero)
{
    EXPECT_EQ(0, key(SDL_SCANCODE_UNKNOWN));
    EXPECT_EQ(0, keycodeOnly(SDLK_UNKNOWN));
    EXPECT_EQ(0, key(SDL_SCANCODE_MUTE));
    EXPECT_EQ(0, key(SDL_SCANCODE_AUDIOPLAY));
    EXPECT_EQ(0, key(SDL_SCANCODE_MODE));
    EXPECT_EQ(0, keycodeOnly(0xE9)); // "é" on a borrowed keycode
    EXPECT_EQ(0, translateKey(SDLK_UNKNOWN, SDL_SCANCODE_INTERNATIONAL1, KMOD_NONE));
}

TEST(SystemKeys, AltHeldOrF10MakeASystemKey)
{
    EXPECT_TRUE(isSystemKey(0x41, KMOD_LALT));
    EXPECT_TRUE(isSystemKey(0x73, KMOD_RALT));
    EXPECT_TRUE(isSystemKey(0x12, KMOD_NONE)); // Alt itself
    EXPECT_TRUE(isSystemKey(0x79, KMOD_NONE)); // F10
    EXPECT_FALSE(isSystemKey(0x41, KMOD_NONE));
    EXPECT_FALSE(isSystemKey(0x41, KMOD_LCTRL | KMOD_LSHIFT | KMOD_NUM | KMOD_CAPS));
    EXPECT_FALSE(isSystemKey(0x41, KMOD_MODE)); // AltGr is no Alt
    EXPECT_FALSE(isSystemKey(0x78, KMOD_NONE)); // F9
}

TEST(SystemKeys, AltDownOnlyWithAlt)
{
    EXPECT_TRUE(platform::altDown(0x73, KMOD_LALT));
    EXPECT_TRUE(platform::altDown(0x12, KMOD_NONE));
    EXPECT_FALSE(platform::altDown(0x79, KMOD_NONE));
}
