// Holds a file open the way another program can keep it from everyone else:
// read access with no sharing at all, so that any other open of it fails with
// a sharing violation for as long as this runs. Prints "held", flushed, once
// the file is open, and ends after the given number of seconds (default 120)
// or when killed. Exits 1 if the file cannot be opened, 3 on a sharing
// violation (someone else holds it already).
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    const DWORD seconds = argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : 120;
    HANDLE file = CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        std::printf("not held: %lu\n", error);
        return error == ERROR_SHARING_VIOLATION ? 3 : 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(seconds * 1000);
    CloseHandle(file);
    return 0;
}
