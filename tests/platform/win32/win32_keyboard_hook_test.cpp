// What the keyboard hook does with each key while the toy is full screen.
#include "platform/win32/Win32KeyboardHook.h"

#include <gtest/gtest.h>

using namespace platform::win32;

namespace {

KeyJudgement down(DWORD key, bool alt = false, bool control = false)
{
    return judgeKey(key, true, 0x5B, false, alt, control);
}

TEST(Win32KeyboardHook, DesktopKeysAreKeptFromTheDesktopAndGivenToTheToy)
{
    for (DWORD key : {DWORD{VK_LWIN}, DWORD{VK_RWIN}, DWORD{VK_APPS}}) {
        const KeyJudgement judgement = down(key);
        EXPECT_TRUE(judgement.swallow) << key;
        EXPECT_EQ(judgement.deliver, static_cast<UINT>(WM_KEYDOWN)) << key;
        EXPECT_EQ(judgement.keyData & 0xFFFF, 1) << "repeat count";
        EXPECT_EQ((judgement.keyData >> 16) & 0xFF, 0x5B) << "scan code";
    }
    const KeyJudgement altTab = down(VK_TAB, true);
    EXPECT_TRUE(altTab.swallow);
    EXPECT_EQ(altTab.deliver, static_cast<UINT>(WM_SYSKEYDOWN)) << "with Alt held it is a system key";
    EXPECT_NE(altTab.keyData & (LPARAM{1} << 29), 0);
    EXPECT_TRUE(down(VK_ESCAPE, true).swallow) << "Alt+Esc";
    const KeyJudgement controlEscape = down(VK_ESCAPE, false, true);
    EXPECT_TRUE(controlEscape.swallow) << "Ctrl+Esc";
    EXPECT_EQ(controlEscape.deliver, static_cast<UINT>(WM_KEYDOWN)) << "Esc with Ctrl still ends the toy";
}

TEST(Win32KeyboardHook, KeptKeysGoUpUnseenToo)
{
    const KeyJudgement up = judgeKey(VK_LWIN, false, 0x5B, true, false, false);
    EXPECT_TRUE(up.swallow) << "a Windows key going up alone opens the start menu";
    EXPECT_EQ(up.deliver, 0u);
}

TEST(Win32KeyboardHook, EveryOtherKeyPassesOn)
{
    for (DWORD key : {DWORD{'A'}, DWORD{'7'}, DWORD{VK_SPACE}, DWORD{VK_ESCAPE}, DWORD{VK_TAB}, DWORD{VK_F1},
                      DWORD{VK_LMENU}, DWORD{VK_LCONTROL}, DWORD{VK_DELETE}}) {
        const KeyJudgement judgement = down(key);
        EXPECT_FALSE(judgement.swallow) << key;
        EXPECT_EQ(judgement.deliver, 0u) << key;
    }
    EXPECT_FALSE(down(VK_F4, true).swallow) << "Alt+F4 must still close the toy";
    EXPECT_FALSE(down(VK_DELETE, true, true).swallow) << "Ctrl+Alt+Del";
}

} // namespace
