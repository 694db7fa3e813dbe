// The entry point on Windows: the command line read as on Linux, then the toy
// on the Win32 platform with the module's instance, its sound played and its
// names said on the platform's threads; the toy's result is the exit code.
#include "app/Options.h"
#include "game/Zindle.h"
#include "platform/win32/Win32Platform.h"
#include "sound/SoundBoard.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string utf8(const wchar_t* text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return {};
    std::string converted(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, converted.data(), length, nullptr, nullptr);
    converted.resize(static_cast<std::size_t>(length - 1));
    return converted;
}

std::wstring wide(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring converted(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, converted.data(), length);
    return converted;
}

// The arguments after the program's name, in UTF-8.
std::vector<std::string> commandLineArguments()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> converted;
    if (arguments == nullptr)
        return converted;
    for (int i = 1; i < count; ++i)
        converted.push_back(utf8(arguments[i]));
    LocalFree(arguments);
    return converted;
}

// Writes to a handle the program was given (a console, a file or a pipe).
bool writeTo(HANDLE output, std::string_view text)
{
    if (output == nullptr || output == INVALID_HANDLE_VALUE)
        return false;
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode)) {
        const std::wstring line = wide(text);
        DWORD written = 0;
        return WriteConsoleW(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) != 0;
    }
    DWORD written = 0;
    return WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
}

// A program with a window has no console of its own: `text` goes where the
// program's output was sent, else to the console it was started from, else
// `boxText` into a message box. `toError` picks standard error over standard
// output.
void tell(std::string_view text, std::string_view boxText, bool toError)
{
    if (writeTo(GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE), text))
        return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE console = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        // The console's prompt is already shown: start on a line of its own.
        const bool written = writeTo(console, "\n" + std::string(text));
        if (console != INVALID_HANDLE_VALUE)
            CloseHandle(console);
        FreeConsole();
        if (written)
            return;
    }
    MessageBoxW(nullptr, wide(boxText).c_str(), L"Zindle", MB_OK | (toError ? MB_ICONERROR : MB_ICONINFORMATION));
}

// The 40 characters, as the speech says them, in UTF-8.
platform::SpeechRequest namesToSay(const Options& options)
{
    platform::SpeechRequest request;
    request.language = options.language;
    for (const char16_t* character : Zindle::characters)
        request.texts.push_back(utf8(reinterpret_cast<const wchar_t*>(character)));
    return request;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // Before anything reaches the screen: --help and a wrong option only talk.
    const Options options = parseOptions(commandLineArguments());
    if (!options.error.empty()) {
        tell("zindle: " + options.error + "\nTry 'zindle --help'.\n", options.error + "\n\n" + usageText(), true);
        return usageExitCode;
    }
    if (options.help) {
        tell(usageText(), usageText(), false);
        return 0;
    }

    // Outlives the platform, whose sound and speech threads call into it.
    const auto board = std::make_unique<sound::SoundBoard>();
    // Windows must not scale the 1024x768 window on a screen set to larger text.
    SetProcessDPIAware();
    platform::Win32Platform platform(instance);
    int exitCode;
    {
        Zindle application(platform);
        if (options.sound) {
            application.sound = board.get();
            platform.startAudio(*board);
            if (options.speech)
                platform.startSpeech(namesToSay(options), *board);
        }
        exitCode = application.run();
        platform.stopSpeech();
        platform.stopAudio();
    }
    return exitCode;
}
