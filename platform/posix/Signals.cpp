// Signal handlers.
#include "platform/posix/Signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>

namespace platform::signals {

namespace {

constexpr int politeSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int crashSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

volatile std::sig_atomic_t closeRequested = 0;
volatile std::sig_atomic_t endAtOnce = 0;
// Written to by the polite handler so that a blocking wait wakes up; both
// ends are non-blocking, so a full pipe never holds the handler up.
int wakePipe[2] = {-1, -1};
std::atomic<void (*)()> crashUndo{nullptr};
volatile std::sig_atomic_t crashing = 0;

struct sigaction previousPolite[std::size(politeSignals)];
struct sigaction previousCrash[std::size(crashSignals)];
struct sigaction previousBrokenPipe {};
bool installed = false;

// The crash handler runs on a stack of its own, so a stack overflow (which
// leaves no room on the thread's stack for any handler) still restores the
// desktop. Leaving full screen goes through the window system's library; a
// quarter of a megabyte is many times what it needs.
alignas(16) char alternateStack[256 * 1024];
stack_t previousStack{};
bool alternateStackSet = false;

extern "C" void onPoliteSignal(int)
{
    if (endAtOnce)
        _exit(0);
    closeRequested = 1;
    if (wakePipe[1] >= 0) {
        const int savedErrno = errno;
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = write(wakePipe[1], &byte, 1);
        errno = savedErrno;
    }
}

void drainWakePipe()
{
    char bytes[64];
    while (wakePipe[0] >= 0 && read(wakePipe[0], bytes, sizeof bytes) > 0) {
    }
}

extern "C" void onCrashSignal(int signalNumber)
{
    if (!crashing) {
        crashing = 1;
        if (void (*undo)() = crashUndo.load())
            undo();
    }
    // Die of the same signal: blocked while this handler runs, it is
    // delivered with its default action as soon as the handler returns.
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

void setHandler(int signalNumber, void (*handler)(int), int flags, struct sigaction* previous)
{
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, previous);
}

} // namespace

void install()
{
    if (installed)
        return;
    installed = true;
    closeRequested = 0;
    if (pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        wakePipe[0] = wakePipe[1] = -1;
    for (std::size_t i = 0; i < std::size(politeSignals); ++i)
        setHandler(politeSignals[i], onPoliteSignal, SA_RESTART, &previousPolite[i]);
    // A write to an X connection the server has closed (xkill, the server
    // ending) must fail with EPIPE and reach Xlib's handler for a lost
    // connection, which gives the display mode back and says so; by default
    // SIGPIPE would end the process first, silently.
    setHandler(SIGPIPE, SIG_IGN, 0, &previousBrokenPipe);
    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof alternateStack;
    alternateStackSet = sigaltstack(&stack, &previousStack) == 0;
    for (std::size_t i = 0; i < std::size(crashSignals); ++i)
        setHandler(crashSignals[i], onCrashSignal, alternateStackSet ? SA_ONSTACK : 0, &previousCrash[i]);
}

void restore()
{
    if (!installed)
        return;
    installed = false;
    crashUndo = nullptr;
    for (std::size_t i = 0; i < std::size(politeSignals); ++i)
        sigaction(politeSignals[i], &previousPolite[i], nullptr);
    for (std::size_t i = 0; i < std::size(crashSignals); ++i)
        sigaction(crashSignals[i], &previousCrash[i], nullptr);
    sigaction(SIGPIPE, &previousBrokenPipe, nullptr);
    if (alternateStackSet) {
        sigaltstack(&previousStack, nullptr);
        alternateStackSet = false;
    }
    for (int& end : wakePipe) {
        if (end >= 0)
            close(end);
        end = -1;
    }
}

bool takeCloseRequest()
{
    if (!closeRequested)
        return false;
    closeRequested = 0;
    drainWakePipe();
    return true;
}

bool closeRequestPending()
{
    return closeRequested != 0;
}

int closeRequestFd()
{
    return wakePipe[0];
}

EndAtOnce::EndAtOnce()
{
    endAtOnce = 1;
    if (closeRequested)
        _exit(0);
}

EndAtOnce::~EndAtOnce()
{
    endAtOnce = 0;
}

void onCrash(void (*undo)())
{
    crashUndo = undo;
}

} // namespace platform::signals
