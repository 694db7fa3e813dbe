// What the full-screen window's frame hears of the foreground: each loss once,
// however many of Windows' messages announce it, and the return whichever way
// the window came back.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Keeper.h"

#include <gtest/gtest.h>

using platform::win32::ForegroundNews;

namespace {

constexpr int none = ForegroundNews::none;
constexpr int lost = ForegroundNews::lost;
constexpr int back = ForegroundNews::back;

// Windows tells a loss twice, by WM_ACTIVATE and WM_ACTIVATEAPP, in either order.
TEST(Win32ForegroundNews, ALossIsToldOnceWhicheverMessageComesFirst)
{
    ForegroundNews deactivatedFirst;
    deactivatedFirst.activate(true, false, false);
    EXPECT_EQ(deactivatedFirst.activate(false, false, false), lost);
    EXPECT_EQ(deactivatedFirst.activateApp(false, false), none);
    EXPECT_EQ(deactivatedFirst.activate(false, false, false), none);

    ForegroundNews appFirst;
    EXPECT_EQ(appFirst.activateApp(true, false), back);
    EXPECT_EQ(appFirst.activateApp(false, false), lost);
    EXPECT_EQ(appFirst.activate(false, false, false), none);

    // Once in front again, the next loss is news again.
    EXPECT_EQ(appFirst.activateApp(true, false), back);
    EXPECT_EQ(appFirst.activateApp(true, false), none) << "the return is told once too";
    EXPECT_EQ(appFirst.activate(false, false, false), lost);
    appFirst.activate(true, false, false);
    EXPECT_EQ(appFirst.activateApp(false, false), lost);
}

TEST(Win32ForegroundNews, AMinimizedWindowLosesNothing)
{
    ForegroundNews news;
    news.activate(true, false, false);
    EXPECT_EQ(news.size(true, false), none);
    // Windows deactivates the window it minimizes, with the minimized flag.
    EXPECT_EQ(news.activate(false, true, true), none);
    EXPECT_EQ(news.activateApp(false, true), none);
}

TEST(Win32ForegroundNews, TheReturnOfAMinimizedWindowIsToldWhenItIsShown)
{
    // Back through the task bar: the program is activated while its window is
    // still minimized, then the window is restored.
    ForegroundNews news;
    news.activate(true, false, false);
    news.size(true, false);
    EXPECT_EQ(news.activateApp(true, true), none) << "told while still minimized";
    EXPECT_EQ(news.activate(true, true, true), none);
    EXPECT_EQ(news.size(false, true), back);
    EXPECT_EQ(news.size(false, true), none);

    // Restored in place while it stayed the foreground (Wine does not
    // deactivate a window it minimizes): only the restore tells.
    news.size(true, true);
    EXPECT_EQ(news.size(false, true), back);

    // Restored behind another program's window: not in front, nothing told.
    news.size(true, false);
    EXPECT_EQ(news.size(false, false), none);
}

TEST(Win32ForegroundNews, AnActivatedWindowNeedsNoReturnToldOnRestore)
{
    // The frame holds on an active WM_ACTIVATE itself; a resize after it is no
    // return.
    ForegroundNews news;
    news.size(true, false);
    EXPECT_EQ(news.activate(true, false, false), none);
    EXPECT_EQ(news.size(false, true), none);
}

} // namespace
