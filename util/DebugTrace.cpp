#include "util/DebugTrace.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <mutex>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Both buffers are static so that tracing never touches the heap: the scene
// traces every key-down and must allocate nothing while it runs.
wchar_t wideLine[debugTraceCapacity];
char utf8Line[debugTraceCapacity * 4 + 2];
// The sound and speech threads trace too: one line at a time through the buffers.
std::mutex lineInUse;

std::size_t appendUtf8(char* out, char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = U'?';
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

} // namespace

void DebugTrace(const wchar_t* format, ...)
{
    const std::lock_guard<std::mutex> hold(lineInUse);
    va_list arguments;
    va_start(arguments, format);
    int written = std::vswprintf(wideLine, debugTraceCapacity, format, arguments);
    va_end(arguments);

    // The C library says so with a negative count; Windows' C runtime returns
    // the length the whole line would have had, which must not be read.
    if (written < 0 || written >= static_cast<int>(debugTraceCapacity)) {
#ifdef _WIN32
        OutputDebugStringW(L"(trace line could not be formatted)\n");
#endif
        std::fputs("(trace line could not be formatted)\n", stderr);
        return;
    }
#ifdef _WIN32
    // The debugger's output first; standard error only where the program was
    // started with one (a GUI program started from the desktop has none).
    OutputDebugStringW(wideLine);
    const HANDLE errorOutput = GetStdHandle(STD_ERROR_HANDLE);
    if (errorOutput == nullptr || errorOutput == INVALID_HANDLE_VALUE)
        return;
#endif
    std::size_t length = 0;
    for (int i = 0; i < written; ++i) {
        char32_t c = static_cast<char32_t>(wideLine[i]);
        // Where wchar_t is UTF-16 (Windows), a character beyond the first
        // 65536 comes as a surrogate pair; a lone half stays a '?'.
        const char32_t next = i + 1 < written ? static_cast<char32_t>(wideLine[i + 1]) : 0;
        if (c >= 0xD800 && c <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
            ++i;
        }
        length += appendUtf8(utf8Line + length, c);
    }
    if (length == 0 || utf8Line[length - 1] != '\n')
        utf8Line[length++] = '\n';
    std::fwrite(utf8Line, 1, length, stderr);
    std::fflush(stderr); // the C library on Windows buffers standard error sent to a file
}

int traceableCharacter(int code)
{
    return code >= 0x20 && code <= 0x7E ? code : '?';
}
