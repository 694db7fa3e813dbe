// Stands in for zindle.exe in the installer's test until the real program is
// built: it writes the folder it was started in to the file that
// ZINDLE_STANDIN_OUT names, and ends with 0.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t out[MAX_PATH];
    if (GetEnvironmentVariableW(L"ZINDLE_STANDIN_OUT", out, MAX_PATH) == 0) {
        return 2;
    }
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, folder.data(), static_cast<int>(folder.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, folder.data(), static_cast<int>(folder.size()), text.data(), length, nullptr,
                        nullptr);
    HANDLE file = CreateFileW(out, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 3;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
    CloseHandle(file);
    return ok ? 0 : 4;
}
