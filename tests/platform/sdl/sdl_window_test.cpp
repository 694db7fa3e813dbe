// The SDL platform's display mode, window, keyboard grab, GL context, picture
// drawing and icon, on the test's display.
#include "tests/platform/sdl/sdl_test_support.h"

#include "platform/draw/Bitmap.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/SolidBrush.h"
#include "res/WindowIcon.h"

#include <GL/gl.h>

#include <csignal>
#include <set>

using namespace platform;
using sdl_test::received;
using sdl_test::SdlPlatformTest;

namespace {

SDL_Window* sdlWindow(WindowHandle window)
{
    return SDL_GetWindowFromID(static_cast<Uint32>(window));
}

Uint32 surfacePixel(SDL_Surface* surface, int x, int y)
{
    Uint32 pixel = 0;
    SDL_LockSurface(surface);
    const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    pixel = reinterpret_cast<const Uint32*>(row)[x];
    SDL_UnlockSurface(surface);
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(pixel, surface->format, &r, &g, &b);
    return (Uint32{r} << 16) | (Uint32{g} << 8) | b;
}

} // namespace

TEST_F(SdlPlatformTest, OnlyAnExactModeWithFourBytesPerPixelIsTaken)
{
    SDL_DisplayMode desktop;
    if (!onX11() || SDL_GetDesktopDisplayMode(0, &desktop) != 0)
        GTEST_SKIP() << "needs an X display";
    EXPECT_TRUE(platform->changeDisplayMode(desktop.w, desktop.h, 32));
    EXPECT_FALSE(platform->changeDisplayMode(desktop.w - 1, desktop.h, 32));
    EXPECT_FALSE(platform->changeDisplayMode(desktop.w, desktop.h + 1, 32));
    EXPECT_FALSE(platform->changeDisplayMode(desktop.w, desktop.h, 16));
    EXPECT_FALSE(platform->changeDisplayMode(4099, 3001, 32));
}

TEST_F(SdlPlatformTest, AWindowOfAnUnknownClassIsNotMade)
{
    WindowRequest request;
    request.className = "OtherClass";
    request.title = "Zindle test";
    request.client = {0, 0, 100, 100};
    EXPECT_EQ(0u, platform->createWindow(request));
    EXPECT_TRUE(received.empty());
}

TEST_F(SdlPlatformTest, OnlyTheFullScreenWindowKeepsTheKeyboardAndTheCursorComesBack)
{
    SDL_DisplayMode desktop;
    if (!onX11() || SDL_GetDesktopDisplayMode(0, &desktop) != 0 || desktop.w != 1024 || desktop.h != 768)
        GTEST_SKIP() << "needs an X display of 1024x768";
    ASSERT_TRUE(platform->changeDisplayMode(1024, 768, 32));
    platform->showCursor(false);
    const WindowHandle fullScreen = makeWindow(true);
    ASSERT_NE(0u, fullScreen);
    // The desktop is in the mode already: no switch, a borderless window over
    // the whole screen, marked full screen and on top for a window manager.
    const Uint32 flags = SDL_GetWindowFlags(sdlWindow(fullScreen));
    EXPECT_NE(0u, flags & SDL_WINDOW_BORDERLESS);
    EXPECT_NE(0u, flags & SDL_WINDOW_ALWAYS_ON_TOP);
    int x = -1, y = -1, w = 0, h = 0;
    SDL_GetWindowPosition(sdlWindow(fullScreen), &x, &y);
    SDL_GetWindowSize(sdlWindow(fullScreen), &w, &h);
    EXPECT_EQ(0, x);
    EXPECT_EQ(0, y);
    EXPECT_EQ(1024, w);
    EXPECT_EQ(768, h);
    EXPECT_NE(0u, flags & SDL_WINDOW_KEYBOARD_GRABBED);
    platform->destroyWindow(fullScreen);
    EXPECT_EQ(SDL_ENABLE, SDL_ShowCursor(SDL_QUERY));

    const WindowHandle windowed = makeWindow(false);
    ASSERT_NE(0u, windowed);
    EXPECT_EQ(0u, SDL_GetWindowFlags(sdlWindow(windowed)) & SDL_WINDOW_KEYBOARD_GRABBED);
    EXPECT_NE(0u, SDL_GetWindowFlags(sdlWindow(windowed)) & SDL_WINDOW_RESIZABLE);
}

TEST_F(SdlPlatformTest, TheGLContextHasADepthBufferRunsFixedFunctionAndCanBeReleased)
{
    if (!onX11())
        GTEST_SKIP() << "needs an X display: SDL's offscreen contexts are single-buffered";
    const WindowHandle window = makeWindow();
    const ContextHandle context = platform->createGLContext(window);
    ASSERT_NE(0u, context);
    platform->makeCurrent(window, context);
    EXPECT_EQ(reinterpret_cast<SDL_GLContext>(context), SDL_GL_GetCurrentContext());

    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    glBegin(GL_QUADS);
    glVertex3f(0, 0, 0);
    glVertex3f(1, 0, 0);
    glVertex3f(1, 1, 0);
    glVertex3f(0, 1, 0);
    glEnd();
    EXPECT_EQ(GLenum{GL_NO_ERROR}, glGetError()) << "no fixed-function pipeline";

    platform->makeCurrent(0, 0);
    EXPECT_EQ(nullptr, SDL_GL_GetCurrentContext());
    platform->deleteGLContext(context);
}

TEST_F(SdlPlatformTest, APictureIsStretchedOverItsRectangleAndTheLaterGLContextStaysCurrent)
{
    if (!onX11())
        GTEST_SKIP() << "needs an X display: SDL's offscreen contexts are single-buffered";
    const WindowHandle window = makeWindow();
    platform->showWindow(window);
    Bitmap picture(2, 2);
    {
        Graphics graphics(&picture);
        SolidBrush red(0xFFFF0000);
        ASSERT_EQ(Status::Ok, graphics.fillRectangle(&red, 0, 0, 2, 2));
    }
    ASSERT_TRUE(platform->drawPicture(window, picture, 10, 20, 100, 50));

    SDL_Surface* surface = SDL_GetWindowSurface(sdlWindow(window));
    ASSERT_NE(nullptr, surface);
    EXPECT_EQ(0xFF0000u, surfacePixel(surface, 10, 20));
    EXPECT_EQ(0xFF0000u, surfacePixel(surface, 109, 69));
    EXPECT_EQ(0u, surfacePixel(surface, 110, 69));
    EXPECT_EQ(0u, surfacePixel(surface, 50, 70));

    const ContextHandle context = platform->createGLContext(window);
    ASSERT_NE(0u, context);
    platform->makeCurrent(window, context);
    SDL_SetWindowSize(sdlWindow(window), 800, 600);
    platform->swapBuffers(window);
    EXPECT_EQ(reinterpret_cast<SDL_GLContext>(context), SDL_GL_GetCurrentContext());
    platform->makeCurrent(0, 0);
    platform->deleteGLContext(context);
}

TEST_F(SdlPlatformTest, ACrashDiesOfTheSameSignal)
{
    const WindowHandle window = makeWindow();
    ASSERT_NE(0u, window);
    EXPECT_EXIT(std::raise(SIGSEGV), ::testing::KilledBySignal(SIGSEGV), "");
    EXPECT_EXIT(std::raise(SIGFPE), ::testing::KilledBySignal(SIGFPE), "");
}

TEST(WindowIcon, SixteenBySixteenInSixteenColoursWithASeeThroughBackground)
{
    ASSERT_EQ(16u, res::windowIconKeys.size());
    EXPECT_EQ(16u, std::set<char>(res::windowIconKeys.begin(), res::windowIconKeys.end()).size())
        << "two colours share a key";
    EXPECT_EQ(0u, res::windowIconPalette[0] >> 24) << "colour 0 is not see-through";
    for (int y = 0; y < res::windowIconSize; ++y) {
        ASSERT_EQ(16u, res::windowIconRows[y].size()) << "row " << y;
        for (char key : res::windowIconRows[y])
            EXPECT_NE(std::string_view::npos, res::windowIconKeys.find(key)) << "row " << y << " key " << key;
    }
}
