// The backend's own threads and their bounded stop.
// The platform's header first: its names meet Windows' macros otherwise.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Com.h"
#include "platform/win32/Win32Worker.h"
#include "util/DebugTrace.h"

#include <string>

namespace platform::win32 {

WorkerSignals::WorkerSignals() : stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

WorkerSignals::~WorkerSignals()
{
    if (stop != nullptr)
        CloseHandle(stop);
}

// Both sides store before they load, all sequentially consistent: either the
// thread sees the stop before it calls, or the owner sees the call and waits
// for its end.
bool WorkerSignals::beginCall()
{
    calling.store(true);
    if (stopping.load()) {
        calling.store(false);
        return false;
    }
    return true;
}

void WorkerSignals::endCall()
{
    calling.store(false);
}

bool WorkerSignals::stopRequested() const
{
    return stopping.load();
}

bool WorkerSignals::waitForStop(DWORD milliseconds) const
{
    if (stopping.load())
        return true;
    if (stop == nullptr) {
        Sleep(milliseconds);
        return stopping.load();
    }
    return WaitForSingleObject(stop, milliseconds) == WAIT_OBJECT_0 || stopping.load();
}

void WorkerSignals::requestStop()
{
    stopping.store(true);
    if (stop != nullptr)
        SetEvent(stop);
    // A call into the program is short (it must not wait): yield until it ends.
    while (calling.load())
        SwitchToThread();
}

struct Worker::State {
    std::wstring name;
    Body body;
    WorkerSignals signals;
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);

    ~State()
    {
        if (finished != nullptr)
            CloseHandle(finished);
    }
};

Worker::Worker(const wchar_t* name, Body body) : state(std::make_shared<State>())
{
    state->name = name;
    state->body = std::move(body);
    // The thread holds the state too: a thread left running after a stop that
    // timed out still finds its events and body.
    thread = std::thread([shared = state] {
        {
            ComApartment apartment;
            if (FAILED(apartment.status()))
                DebugTrace(L"%ls: COM does not start on its thread (0x%08lX)", shared->name.c_str(),
                           static_cast<unsigned long>(apartment.status()));
            else
                shared->body(shared->signals);
        }
        if (shared->finished != nullptr)
            SetEvent(shared->finished);
    });
}

Worker::~Worker()
{
    stopWithin(2000);
}

bool Worker::stopWithin(DWORD milliseconds)
{
    if (!thread.joinable())
        return true;
    state->signals.requestStop();
    const bool ended =
        state->finished == nullptr || WaitForSingleObject(state->finished, milliseconds) == WAIT_OBJECT_0;
    if (ended) {
        thread.join();
        return true;
    }
    DebugTrace(L"%ls: its thread did not end within %lu ms; left to end by itself", state->name.c_str(),
               static_cast<unsigned long>(milliseconds));
    thread.detach();
    return false;
}

// Win32Platform holds its workers by this deleter, as its header names no Windows type.
void WorkerStop::operator()(Worker* worker) const
{
    delete worker;
}

} // namespace platform::win32
