// What every platform promises the frame (platform/Platform.h), checked the
// same way on each: the window and the messages it is sent, keys, closing and
// minimizing, waiting, the picture on screen, GL, the full-screen hold, and
// sound and speech that start at once and stop cleanly. Each build runs it on
// its own backend and on the scripted platform the frame's tests use.
#include "tests/contract/platform/PlatformContract.h"

#include "platform/Counter.h"
#include "platform/draw/Bitmap.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/SolidBrush.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

using namespace platform;

namespace contract {
namespace {

constexpr char testClass[] = "ContractClass";
constexpr unsigned answerMessage = 0x1234;   // the procedure answers 77
constexpr unsigned minimizeMessage = 0x1235; // the procedure minimizes its window

std::vector<Message> received;
Platform* current = nullptr;

std::intptr_t recordingProcedure(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    received.push_back({window, message, wParam, lParam});
    if (message == answerMessage)
        return 77;
    if (message == minimizeMessage) {
        current->minimizeWindow(window);
        return 0;
    }
    if (message == WM_CLOSE)
        return 0; // as the frame's procedure: the window stays until it is destroyed
    return current->defWindowProc(window, message, wParam, lParam);
}

// Where in `received` the first message matching `test` is; -1 if none.
template <typename Test>
int indexWhere(Test test)
{
    for (std::size_t i = 0; i < received.size(); ++i)
        if (test(received[i]))
            return static_cast<int>(i);
    return -1;
}

int indexOf(unsigned message)
{
    return indexWhere([message](const Message& m) { return m.message == message; });
}

// Seconds on the performance counter, which the scripted platform moves by hand.
double now()
{
    return static_cast<double>(queryPerformanceCounter()) / static_cast<double>(queryPerformanceFrequency());
}

// Ends the program with a message if a call that must return does not: a hung
// case should fail with its name, not at ctest's time-out.
class Watchdog {
public:
    explicit Watchdog(const char* what)
        : thread([this, what] {
              const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
              while (!done.load()) {
                  if (std::chrono::steady_clock::now() > deadline) {
                      std::fprintf(stderr, "contract: %s did not return\n", what);
                      std::fflush(stderr);
                      std::_Exit(3);
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          })
    {
    }
    ~Watchdog()
    {
        done = true;
        thread.join();
    }

private:
    std::atomic<bool> done{false};
    std::thread thread;
};

} // namespace

void PlatformContract::SetUp()
{
    rig = GetParam().make();
    if (const std::string why = rig->unusable(); !why.empty())
        GTEST_SKIP() << why;
    platform = &rig->platform();
    current = platform;
    received.clear();
    platform->registerClass({recordingProcedure, testClass, 102});
}

void PlatformContract::TearDown()
{
    if (platform != nullptr)
        for (WindowHandle window : windows)
            platform->destroyWindow(window);
    windows.clear();
    rig.reset();
    current = nullptr;
}

WindowHandle PlatformContract::open(bool fullScreen, bool show)
{
    WindowRequest request;
    request.className = testClass;
    request.title = fullScreen ? "Zindle contract full" : "Zindle contract";
    request.fullScreen = fullScreen;
    request.client = fullScreen ? WindowRect{0, 0, 1024, 768} : WindowRect{64, 64, 704, 544};
    rig->aboutToCreate(request);
    const WindowHandle window = platform->createWindow(request);
    if (window != 0) {
        windows.push_back(window);
        if (show) {
            platform->showWindow(window);
            platform->setForegroundWindow(window);
            platform->setFocus(window);
        }
    }
    return window;
}

bool PlatformContract::pumpUntil(const std::function<bool()>& done, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    Message message;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        if (platform->peekMessage(message)) {
            platform->translateMessage(message);
            platform->dispatchMessage(message);
        } else {
            platform->waitMessage(0.02);
        }
    }
    return true;
}

void PlatformContract::pumpFor(double seconds)
{
    pumpUntil([] { return false; }, seconds);
}

TEST_P(PlatformContract, ANewWindowHasTheClientSizeTitleAndKindAskedFor)
{
    for (const bool full : {false, true}) {
        SCOPED_TRACE(full ? "full screen" : "windowed");
        const WindowHandle window = open(full);
        ASSERT_NE(window, 0u);
        const WindowRect client = platform->clientRect(window);
        EXPECT_EQ(client.left, 0);
        EXPECT_EQ(client.top, 0);
        EXPECT_EQ(client.right, full ? 1024 : 640);
        EXPECT_EQ(client.bottom, full ? 768 : 480);
        if (const std::optional<std::string> title = rig->title(window)) {
            EXPECT_EQ(*title, full ? "Zindle contract full" : "Zindle contract");
        }
        if (const std::optional<bool> fullScreen = rig->fullScreen(window)) {
            EXPECT_EQ(*fullScreen, full);
        }
    }
}

// A window made hidden learns its size when it is made (SDL) or when it is
// first shown (Win32, as Windows sends WM_SIZE to a window made hidden): by
// the time showWindow returns it has been told it exists, its client size and
// that it is active, in that order.
TEST_P(PlatformContract, CreatingAndShowingDeliverTheirNewsBeforeReturning)
{
    const WindowHandle window = open(false, false);
    ASSERT_NE(window, 0u);
    const int create = indexOf(WM_CREATE);
    ASSERT_GE(create, 0) << "no WM_CREATE before createWindow returned";
    EXPECT_EQ(received[static_cast<std::size_t>(create)].window, window);
    EXPECT_EQ(indexOf(WM_ACTIVATE), -1) << "a hidden window was activated";

    platform->showWindow(window);
    const int size = indexWhere([](const Message& m) { return m.message == WM_SIZE; });
    ASSERT_GE(size, 0) << "no WM_SIZE before showWindow returned";
    EXPECT_GT(size, create) << "WM_SIZE before WM_CREATE";
    const Message& sized = received[static_cast<std::size_t>(size)];
    EXPECT_EQ(sized.window, window);
    EXPECT_EQ(sized.wParam, SIZE_RESTORED);
    EXPECT_EQ(lowWord(static_cast<std::uintptr_t>(sized.lParam)), 640u);
    EXPECT_EQ(highWord(static_cast<std::uintptr_t>(sized.lParam)), 480u);
    const int active = indexWhere([](const Message& m) {
        return m.message == WM_ACTIVATE && lowWord(m.wParam) != WA_INACTIVE && highWord(m.wParam) == 0;
    });
    EXPECT_GT(active, create) << "showWindow returned before the window was told it is active";
}

TEST_P(PlatformContract, MinimizingFromInsideTheProcedureSaysSoWithASizeOfNothing)
{
    if (const std::string why = rig->cannotMinimize(); !why.empty())
        GTEST_SKIP() << why;
    for (const bool full : {false, true}) {
        SCOPED_TRACE(full ? "full screen" : "windowed");
        const WindowHandle window = open(full);
        ASSERT_NE(window, 0u);
        received.clear();
        // minimizeWindow is called from the procedure, as the frame does on
        // losing the foreground.
        platform->dispatchMessage({window, minimizeMessage, 0, 0});
        EXPECT_TRUE(pumpUntil([window] {
            return indexWhere([window](const Message& m) {
                       return m.window == window && m.message == WM_SIZE && m.wParam == SIZE_MINIMIZED && m.lParam == 0;
                   }) >= 0;
        })) << "minimizing gave no WM_SIZE of 0 by 0";
        platform->destroyWindow(window);
        windows.clear();
    }
}

TEST_P(PlatformContract, TheFullScreenHoldIsTakenAndGivenBackAtWill)
{
    const WindowHandle window = open(true);
    ASSERT_NE(window, 0u);
    pumpFor(0.1);
    platform->holdFullScreen(window);
    platform->holdFullScreen(window); // twice: no harm
    platform->releaseFullScreen(window);
    platform->releaseFullScreen(window);
    platform->holdFullScreen(window);
    pumpFor(0.1);
    const WindowRect client = platform->clientRect(window);
    EXPECT_EQ(client.right, 1024);
    EXPECT_EQ(client.bottom, 768);
    // Given back, then minimized, as the frame does when the child leaves.
    platform->releaseFullScreen(window);
    if (rig->cannotMinimize().empty()) {
        received.clear();
        platform->minimizeWindow(window);
        EXPECT_TRUE(pumpUntil([] {
            return indexWhere([](const Message& m) { return m.message == WM_SIZE && m.wParam == SIZE_MINIMIZED; }) >= 0;
        })) << "not minimized after the hold was given back";
    }
}

TEST_P(PlatformContract, KeyPressesArriveAsTheirVirtualKeys)
{
    const WindowHandle window = open(false);
    ASSERT_NE(window, 0u);
    pumpFor(0.2);
    for (const int key : {int{'A'}, int{'7'}, VK_SPACE, VK_ESCAPE}) {
        SCOPED_TRACE(key);
        received.clear();
        // A key pressed before the window is ready for it may go nowhere:
        // pressed again each second.
        bool arrived = false;
        for (int attempt = 0; attempt < 5 && !arrived; ++attempt) {
            if (const std::string why = rig->pressKey(window, key); !why.empty())
                GTEST_SKIP() << why;
            arrived = pumpUntil(
                [key, window] {
                    return indexWhere([key, window](const Message& m) {
                               return m.window == window && m.message == WM_KEYDOWN &&
                                      m.wParam == static_cast<std::uintptr_t>(key);
                           }) >= 0;
                },
                1.0);
        }
        EXPECT_TRUE(arrived) << "no WM_KEYDOWN of the key";
        EXPECT_EQ(indexOf(WM_CLOSE), -1);
    }
}

TEST_P(PlatformContract, ClosingFromOutsideAndAltF4ReachTheProcedureAsAClose)
{
    const WindowHandle window = open(false);
    ASSERT_NE(window, 0u);
    pumpFor(0.1);
    received.clear();
    if (const std::string why = rig->closeFromOutside(window); why.empty()) {
        EXPECT_TRUE(pumpUntil([] { return indexOf(WM_CLOSE) >= 0; })) << "closing from outside gave no WM_CLOSE";
    } else {
        std::printf("closing from outside not tried: %s\n", why.c_str());
    }
    pumpFor(0.1);

    // Only Alt with F4 closes; the default handling of anything else does not.
    received.clear();
    platform->defWindowProc(window, WM_KEYDOWN, VK_F4, 1 | KF_ALTDOWN_BIT);
    platform->defWindowProc(window, WM_SYSKEYDOWN, VK_F4, 1);
    platform->defWindowProc(window, WM_CHAR, 'a', 1);
    pumpFor(0.2);
    EXPECT_EQ(indexOf(WM_CLOSE), -1) << "closed without Alt+F4";
    platform->defWindowProc(window, WM_SYSKEYDOWN, VK_F4, makeLParam(1, 0x3E) | KF_ALTDOWN_BIT);
    EXPECT_TRUE(pumpUntil([] { return indexOf(WM_CLOSE) >= 0; })) << "Alt+F4 did not become a close";
    EXPECT_EQ(received[static_cast<std::size_t>(indexOf(WM_CLOSE))].window, window);
}

TEST_P(PlatformContract, DispatchHandsTheMessageToTheProcedureAndReturnsItsResult)
{
    const WindowHandle window = open(false, false);
    ASSERT_NE(window, 0u);
    received.clear();
    EXPECT_EQ(platform->dispatchMessage({window, answerMessage, 5, -6}), 77);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].window, window);
    EXPECT_EQ(received[0].message, answerMessage);
    EXPECT_EQ(received[0].wParam, 5u);
    EXPECT_EQ(received[0].lParam, -6);
}

TEST_P(PlatformContract, TheQuitMessageCarriesItsCodeAndComesOnce)
{
    platform->postQuitMessage(7);
    Message message;
    ASSERT_TRUE(pumpUntil([&] { return platform->peekMessage(message) && message.message == WM_QUIT; }));
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_FALSE(pumpUntil([&] { return platform->peekMessage(message) && message.message == WM_QUIT; }, 0.2))
        << "a second quit message";
}

TEST_P(PlatformContract, AWaitWithNothingToComeRunsItsTime)
{
    const WindowHandle window = open(false, false);
    ASSERT_NE(window, 0u);
    pumpFor(0.1);
    for (const double seconds : {0.03, 0.1}) {
        SCOPED_TRACE(seconds);
        Message message;
        while (platform->peekMessage(message))
            platform->dispatchMessage(message);
        const double start = now();
        platform->waitMessage(seconds);
        const double waited = now() - start;
        EXPECT_LT(waited, seconds + 1.0) << "waited far longer than asked";
        // Something the desktop sent may end a wait early; then it waits.
        if (waited < seconds - 0.002) {
            EXPECT_TRUE(platform->peekMessage(message)) << "ended early after " << waited << " s with nothing waiting";
        }
    }
}

TEST_P(PlatformContract, AWaitEndsAtOnceWhenAMessageWaitsAndTakesNone)
{
    const WindowHandle window = open(false);
    ASSERT_NE(window, 0u);
    pumpFor(0.1);
    platform->postQuitMessage(3);
    double start = now();
    platform->waitMessage(5.0);
    const double timed = now() - start;
    EXPECT_LT(timed, 1.0) << "a waiting quit message did not end a timed wait";
    if (timed < 1.0) {
        Watchdog watchdog("waitMessage(-1) with a quit message waiting");
        platform->waitMessage(-1.0);
    }
    Message message;
    EXPECT_TRUE(pumpUntil([&] { return platform->peekMessage(message) && message.message == WM_QUIT; }, 1.0))
        << "the wait took the quit message";
    EXPECT_EQ(message.wParam, 3u);

    // A message that comes during a wait ends it.
    if (const std::string why = rig->closeFromOutside(window); !why.empty())
        GTEST_SKIP() << why;
    received.clear();
    start = now();
    platform->waitMessage(5.0);
    EXPECT_LT(now() - start, 1.0) << "a close that came did not end the wait";
    EXPECT_TRUE(pumpUntil([] { return indexOf(WM_CLOSE) >= 0; })) << "the close was lost";
}

TEST_P(PlatformContract, TheRefreshRateIsARateOrZero)
{
    const WindowHandle window = open(false);
    ASSERT_NE(window, 0u);
    const int rate = platform->refreshRate(window);
    EXPECT_GE(rate, 0);
    EXPECT_NE(rate, 1) << "1 is not a rate but the desktop's code for the hardware's default";
}

TEST_P(PlatformContract, APictureIsDrawnStretchedOnScreenAndAnEmptyOneNot)
{
    const WindowHandle window = open(false);
    ASSERT_NE(window, 0u);
    Bitmap missing("no such picture.jpg");
    ASSERT_EQ(missing.getWidth(), 0u);
    EXPECT_FALSE(platform->drawPicture(window, missing, 0, 0, 640, 480));
    Bitmap clear(8, 8);
    EXPECT_TRUE(platform->drawPicture(window, clear, 0, 0, 640, 480));

    if (const std::string why = rig->noScreen(); !why.empty())
        GTEST_SKIP() << why;
    pumpFor(0.2);
    Bitmap picture(2, 2);
    {
        Graphics graphics(&picture);
        SolidBrush red(0xFFFF0000);
        ASSERT_EQ(Status::Ok, graphics.fillRectangle(&red, 0, 0, 2, 2));
    }
    ASSERT_TRUE(platform->drawPicture(window, picture, 10, 20, 100, 50));
    std::optional<std::uint32_t> corner;
    pumpUntil([&] {
        corner = rig->screenPixel(window, 10, 20);
        return corner == 0xFF0000u;
    });
    if (!corner)
        GTEST_SKIP() << "the screen cannot be read here";
    EXPECT_EQ(corner, 0xFF0000u);
    EXPECT_EQ(rig->screenPixel(window, 109, 69), 0xFF0000u);
    EXPECT_EQ(rig->screenPixel(window, 59, 44), 0xFF0000u);
    EXPECT_NE(rig->screenPixel(window, 110, 69), 0xFF0000u) << "drawn wider than asked";
    EXPECT_NE(rig->screenPixel(window, 50, 70), 0xFF0000u) << "drawn higher than asked";
    EXPECT_NE(rig->screenPixel(window, 9, 19), 0xFF0000u) << "drawn before its corner";
}

TEST_P(PlatformContract, AGLContextIsMadeCurrentSwappedAndReleased)
{
    if (const std::string why = rig->noGL(); !why.empty())
        GTEST_SKIP() << why;
    const WindowHandle window = open(false);
    ASSERT_NE(window, 0u);
    const ContextHandle context = platform->createGLContext(window);
    ASSERT_NE(context, 0u);
    platform->makeCurrent(window, context);
    EXPECT_NE(glGetString(GL_VERSION), nullptr);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    GLint doubleBuffered = 0;
    glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_NE(doubleBuffered, 0);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    platform->swapBuffers(window);
    EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
    platform->makeCurrent(0, 0);
    EXPECT_EQ(glGetString(GL_VERSION), nullptr) << "still a current context";
    platform->deleteGLContext(context);
}

TEST_P(PlatformContract, TheDrawingLibraryStartsForVersionOneOnly)
{
    if (const std::string why = rig->noScreen(); !why.empty())
        GTEST_SKIP() << "the scripted platform plays the status its test chooses";
    std::uintptr_t token = 0;
    ASSERT_EQ(platform->startDrawing(&token, DrawingStartupInput{}), 0);
    EXPECT_NE(token, 0u);
    platform->stopDrawing(token);

    DrawingStartupInput future;
    future.version = 2;
    token = 7;
    EXPECT_NE(platform->startDrawing(&token, future), 0);
    EXPECT_EQ(token, 0u);
    platform->stopDrawing(token); // after a failed start: nothing to do, nothing breaks
}

namespace {

// Counts its calls and whether one is running.
class CountingSource : public AudioSource {
public:
    void render(float* samples, int frames, int, std::int64_t) override
    {
        inside = true;
        for (int i = 0; i < 2 * frames; ++i)
            samples[i] = 0.0f;
        ++calls;
        inside = false;
    }
    std::atomic<int> calls{0};
    std::atomic<bool> inside{false};
};

class CountingSink : public SpeechSink {
public:
    void spoken(int, std::vector<std::int16_t>, int) override
    {
        inside = true;
        ++calls;
        inside = false;
    }
    std::atomic<int> calls{0};
    std::atomic<bool> inside{false};
};

} // namespace

TEST_P(PlatformContract, SoundAndSpeechStartAtOnceAndStopWithNoCallLeft)
{
    if (const std::string why = rig->silent(); !why.empty())
        GTEST_SKIP() << why;
    CountingSource source;
    auto start = std::chrono::steady_clock::now();
    platform->startAudio(source);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500)) << "startAudio waited";
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    platform->stopAudio();
    EXPECT_FALSE(source.inside) << "a render call runs after stopAudio";
    const int rendered = source.calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(source.calls, rendered) << "render called after stopAudio";

    CountingSink sink;
    SpeechRequest request;
    request.language = "en";
    request.texts = {"A", "seven", "space"};
    start = std::chrono::steady_clock::now();
    platform->startSpeech(request, sink);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500)) << "startSpeech waited";
    platform->stopSpeech();
    EXPECT_FALSE(sink.inside) << "a clip is handed over after stopSpeech";
    const int spoken = sink.calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(sink.calls, spoken) << "clips handed over after stopSpeech";
    EXPECT_LE(spoken, 3);

    // Started and stopped again: the platform is not left in a stopped state.
    platform->startAudio(source);
    platform->stopAudio();
    platform->startSpeech(request, sink);
    platform->stopSpeech();
}

} // namespace contract
