// A thread of the backend's own, for sound and speech: COM is ready on it, it
// calls into the program's objects, and stopping it takes a bounded time even
// when a system call on it never returns. Such a thread is then left to end
// by itself, and calls into the program no more.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace platform::win32 {

// What the thread and the one who stops it share.
class WorkerSignals {
public:
    WorkerSignals();
    ~WorkerSignals();
    WorkerSignals(const WorkerSignals&) = delete;
    WorkerSignals& operator=(const WorkerSignals&) = delete;

    // The thread, around each call into the program: false once a stop was
    // asked for, and then the program must not be called. No wait, lock or
    // allocation: the audio thread calls it for every buffer.
    bool beginCall();
    void endCall();

    bool stopRequested() const;
    // Manual-reset event, set when a stop is asked for.
    HANDLE stopEvent() const { return stop; }
    // Waits up to `milliseconds` for a stop; true when one was asked for.
    bool waitForStop(DWORD milliseconds) const;

    // The owner: no call into the program runs once this returns.
    void requestStop();

private:
    HANDLE stop;
    std::atomic<bool> stopping{false};
    std::atomic<bool> calling{false};
};

class Worker {
public:
    using Body = std::function<void(WorkerSignals&)>;

    // Starts `body` on a new thread named `name` (for the trace), with COM in
    // the multithreaded apartment. Returns at once.
    Worker(const wchar_t* name, Body body);
    // Stops with stopWithin(2000).
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Asks the body to end and waits up to `milliseconds` for the thread;
    // true when it ended. Either way the program is not called again.
    bool stopWithin(DWORD milliseconds);

private:
    struct State;
    std::shared_ptr<State> state;
    std::thread thread;
};

} // namespace platform::win32
