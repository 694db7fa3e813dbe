// Preloaded (LD_PRELOAD) into the toy and into the launch floor by the launch
// and picture benchmarks and by the hostile-splash test, so that the programs
// themselves carry no timing hook. It stands in front of library calls each
// program makes anyway, calls the real function (dlsym RTLD_NEXT), and marks
// where each step of the start-up ends with one line on standard error:
//
//   zindle: start-up STEP at SECONDS cpu MILLISECONDS
//
// SECONDS is the CLOCK_MONOTONIC time, MILLISECONDS the CPU time the whole
// process (all threads) has used by then. The steps, in order, and the calls
// that end them:
//
//   main                 main() is entered (the program's main, handed over
//                        through __libc_start_main, after every constructor)
//   video started        SDL_Init returns
//   drawing started      FcInit returns: fontconfig, the drawing's start
//   splash read          SDL_GetNumDisplayModes is called: the search for the
//                        display mode follows the reading of the picture
//   display mode chosen  the first SDL_CreateWindow is called, where the
//                        program searched for a mode first
//   window created       the first SDL_ShowWindow is called
//   window shown         SDL_ShowWindow returns, or SDL_SetWindowInputFocus
//                        after it
//   splash shown         SDL_UpdateWindowSurface returns, or the swap of a
//                        context made before the program's own (the splash
//                        drawn through a passing GL context); then the
//                        SDL_FreeSurface or SDL_GL_DeleteContext that tidy up
//   GL context made      SDL_GL_SetSwapInterval returns (only the program's
//                        own context asks for one), or the SDL_GL_MakeCurrent
//                        and glClear that set the context up after it
//   card painted         the first texture is complete: glTexParameteri with
//                        GL_TEXTURE_MAG_FILTER, the last call of every upload
//   cubes painted        the last texture is complete
//   first frame drawn    the first SDL_GL_SwapWindow of the program's context
//                        is called
//   first frame swapped  it returns
//
// A step is written once the next one begins, since some end with the last of
// several calls; the last step is written the moment its swap returns. A step
// the program skips is left out, and nothing is written by a process that
// never starts SDL's video (a prefix such as env, or a helper the program
// starts: they inherit LD_PRELOAD). After the first frame the calls go
// straight through.
#include <GL/gl.h>
#include <SDL.h>
#include <dlfcn.h>
#include <fontconfig/fontconfig.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

enum Step : int {
    None = -1,
    Main,
    VideoStarted,
    DrawingStarted,
    SplashRead,
    DisplayModeChosen,
    WindowCreated,
    WindowShown,
    SplashShown,
    GLContextMade,
    CardPainted,
    CubesPainted,
    FirstFrameDrawn,
    FirstFrameSwapped,
};

constexpr const char* stepNames[] = {
    "main",           "video started",     "drawing started",     "splash read",     "display mode chosen",
    "window created", "window shown",      "splash shown",        "GL context made", "card painted",
    "cubes painted",  "first frame drawn", "first frame swapped",
};

// How a call marks its step: only the first call that reaches it ends it, or
// each later call moves its end on while no later step has begun, or both.
enum class How { First, Extend, Latest };

struct Moment {
    timespec at{};
    timespec cpu{};
};

pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
Step open = None; // the step whose end is noted but not yet written
Moment openEnd;
bool videoStarted = false;
std::atomic<bool> finished = false;

void writeAll(const char* text, int length)
{
    while (length > 0) {
        const ssize_t done = write(STDERR_FILENO, text, static_cast<size_t>(length));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return;
        text += done;
        length -= static_cast<int>(done);
    }
}

void writeStep(Step step, const Moment& end)
{
    char line[160];
    const double cpuMs = static_cast<double>(end.cpu.tv_sec) * 1e3 + static_cast<double>(end.cpu.tv_nsec) * 1e-6;
    const int length = std::snprintf(line, sizeof line, "zindle: start-up %s at %lld.%09ld cpu %.3f\n", stepNames[step],
                                     static_cast<long long>(end.at.tv_sec), end.at.tv_nsec, cpuMs);
    if (length > 0)
        writeAll(line, length < static_cast<int>(sizeof line) ? length : static_cast<int>(sizeof line) - 1);
}

void mark(Step step, How how)
{
    if (finished)
        return;
    Moment now;
    clock_gettime(CLOCK_MONOTONIC, &now.at);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now.cpu);
    pthread_mutex_lock(&lock);
    if (step == open && how != How::First) {
        openEnd = now;
    } else if (step > open && how != How::Extend) {
        if (step >= VideoStarted)
            videoStarted = true;
        if (open != None && videoStarted)
            writeStep(open, openEnd);
        open = step;
        openEnd = now;
        if (step == FirstFrameSwapped) {
            writeStep(open, openEnd);
            finished = true;
        }
    }
    pthread_mutex_unlock(&lock);
}

Step openStep()
{
    pthread_mutex_lock(&lock);
    const Step step = open;
    pthread_mutex_unlock(&lock);
    return step;
}

// The next definition of a function after this library's: the real one.
template <typename Function>
Function real(const char* name)
{
    void* found = dlsym(RTLD_NEXT, name);
    if (found == nullptr) {
        char line[200];
        const int length = std::snprintf(line, sizeof line, "startup_marks: no %s to stand in front of\n", name);
        writeAll(line, length < static_cast<int>(sizeof line) ? length : static_cast<int>(sizeof line) - 1);
        std::abort();
    }
    return reinterpret_cast<Function>(found);
}

#define ZINDLE_REAL(name) static const auto next_##name = real<decltype(&(name))>(#name)

using MainFunction = int (*)(int, char**, char**);
MainFunction programMain = nullptr;

int markedMain(int argc, char** argv, char** environment)
{
    mark(Main, How::First);
    return programMain(argc, argv, environment);
}

} // namespace

extern "C" {

using StartMain = int (*)(MainFunction, int, char**, void (*)(), void (*)(), void (*)(), void*);

// NOLINTNEXTLINE(bugprone-reserved-identifier): the C library's own entry, wrapped
int __libc_start_main(MainFunction mainFunction, int argc, char** argv, void (*init)(), void (*fini)(),
                      void (*rtldFini)(), void* stackEnd)
{
    static const auto next = real<StartMain>("__libc_start_main");
    programMain = mainFunction;
    return next(markedMain, argc, argv, init, fini, rtldFini, stackEnd);
}

int SDL_Init(Uint32 flags)
{
    ZINDLE_REAL(SDL_Init);
    const int result = next_SDL_Init(flags);
    mark(VideoStarted, How::First);
    return result;
}

FcBool FcInit()
{
    ZINDLE_REAL(FcInit);
    const FcBool result = next_FcInit();
    mark(DrawingStarted, How::First);
    return result;
}

int SDL_GetNumDisplayModes(int display)
{
    ZINDLE_REAL(SDL_GetNumDisplayModes);
    mark(SplashRead, How::First);
    return next_SDL_GetNumDisplayModes(display);
}

SDL_Window* SDL_CreateWindow(const char* title, int x, int y, int w, int h, Uint32 flags)
{
    ZINDLE_REAL(SDL_CreateWindow);
    if (openStep() == SplashRead)
        mark(DisplayModeChosen, How::First);
    return next_SDL_CreateWindow(title, x, y, w, h, flags);
}

void SDL_ShowWindow(SDL_Window* window)
{
    ZINDLE_REAL(SDL_ShowWindow);
    mark(WindowCreated, How::First);
    next_SDL_ShowWindow(window);
    mark(WindowShown, How::Latest);
}

int SDL_SetWindowInputFocus(SDL_Window* window)
{
    ZINDLE_REAL(SDL_SetWindowInputFocus);
    const int result = next_SDL_SetWindowInputFocus(window);
    mark(WindowShown, How::Extend);
    return result;
}

int SDL_UpdateWindowSurface(SDL_Window* window)
{
    ZINDLE_REAL(SDL_UpdateWindowSurface);
    const int result = next_SDL_UpdateWindowSurface(window);
    mark(SplashShown, How::Latest);
    return result;
}

void SDL_FreeSurface(SDL_Surface* surface)
{
    ZINDLE_REAL(SDL_FreeSurface);
    next_SDL_FreeSurface(surface);
    mark(SplashShown, How::Extend);
}

void SDL_GL_DeleteContext(SDL_GLContext context)
{
    ZINDLE_REAL(SDL_GL_DeleteContext);
    next_SDL_GL_DeleteContext(context);
    mark(SplashShown, How::Extend);
}

int SDL_GL_SetSwapInterval(int interval)
{
    ZINDLE_REAL(SDL_GL_SetSwapInterval);
    const int result = next_SDL_GL_SetSwapInterval(interval);
    mark(GLContextMade, How::First);
    return result;
}

int SDL_GL_MakeCurrent(SDL_Window* window, SDL_GLContext context)
{
    ZINDLE_REAL(SDL_GL_MakeCurrent);
    const int result = next_SDL_GL_MakeCurrent(window, context);
    mark(GLContextMade, How::Extend);
    return result;
}

void glClear(GLbitfield mask)
{
    ZINDLE_REAL(glClear);
    next_glClear(mask);
    mark(GLContextMade, How::Extend);
}

void glTexParameteri(GLenum target, GLenum name, GLint value)
{
    ZINDLE_REAL(glTexParameteri);
    next_glTexParameteri(target, name, value);
    if (name == GL_TEXTURE_MAG_FILTER && !finished)
        mark(openStep() < CardPainted ? CardPainted : CubesPainted, How::Latest);
}

void SDL_GL_SwapWindow(SDL_Window* window)
{
    ZINDLE_REAL(SDL_GL_SwapWindow);
    const bool programContext = !finished && openStep() >= GLContextMade;
    if (programContext)
        mark(FirstFrameDrawn, How::First);
    next_SDL_GL_SwapWindow(window);
    mark(programContext ? FirstFrameSwapped : SplashShown, How::Latest);
}

} // extern "C"
