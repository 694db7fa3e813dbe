// Crashes a running program the way a fault in its own code would: starts a
// thread in it at address 0, which faults at once. Nothing catches the fault
// on that thread, so it goes to the program's unhandled-exception filter and
// then ends the whole process. The program is found by its window's caption.
// Exits 0 once the thread is started, 1 if no such window, 2 if the process
// cannot be opened or the thread not started.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 1;
    HWND window = FindWindowW(nullptr, argv[1]);
    DWORD processId = 0;
    if (window == nullptr || GetWindowThreadProcessId(window, &processId) == 0) {
        std::printf("no window\n");
        return 1;
    }
    HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                                     PROCESS_VM_WRITE | PROCESS_VM_READ,
                                 FALSE, processId);
    if (process == nullptr) {
        std::printf("cannot open process %lu: %lu\n", processId, GetLastError());
        return 2;
    }
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, nullptr, nullptr, 0, nullptr);
    if (thread == nullptr) {
        std::printf("no thread: %lu\n", GetLastError());
        CloseHandle(process);
        return 2;
    }
    std::printf("started\n");
    CloseHandle(thread);
    CloseHandle(process);
    return 0;
}
