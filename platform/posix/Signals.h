// What signals do to the running toy. A polite end (SIGINT, SIGTERM, SIGHUP)
// only raises a flag that the message queue turns into one close message, so
// the normal tear-down runs and the exit code is 0. A crash (SIGSEGV, SIGBUS,
// SIGILL, SIGFPE, SIGABRT) first runs what its owner registered to give the
// desktop its display mode and cursor back, then dies of the same signal. It runs on a stack of its own, so a
// stack overflow restores the desktop too. A broken pipe is ignored: a write
// to a lost X connection fails instead, and Xlib reports the loss.
#pragma once

namespace platform::signals {

// Installs the handlers, keeping what was there before; restore() puts it back.
void install();
void restore();

// True if a polite end was asked for since the last call; several in a row
// count as one.
bool takeCloseRequest();

// Whether a polite end is waiting, leaving it for takeCloseRequest. A loop
// that blocks (a message box) watches closeRequestFd(), which is readable
// while one is waiting, whichever thread the signal was delivered to; -1 if
// the handlers are not installed.
bool closeRequestPending();
int closeRequestFd();

// While one lives, a polite end ends the process at once with exit code 0,
// also one that came just before. For a start-up step that can block inside
// a library for good (connecting to a display that accepts and never
// answers) and that leaves nothing to tear down if it is cut short.
class EndAtOnce {
public:
    EndAtOnce();
    ~EndAtOnce();
    EndAtOnce(const EndAtOnce&) = delete;
    EndAtOnce& operator=(const EndAtOnce&) = delete;
};

// What a crash runs before the process dies, once; null for nothing. It runs
// inside a signal handler, on a stack of its own, as the process's last act.
void onCrash(void (*undo)());

} // namespace platform::signals
