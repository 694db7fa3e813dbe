// One trace line per event, printf-style with a wide format, on standard error
// (on Windows also to the debugger's output).
#pragma once

#include <cstddef>

// Largest formatted line, terminator included.
constexpr std::size_t debugTraceCapacity = 16384;

// Formats like vswprintf into a buffer of debugTraceCapacity wide characters and
// writes the result to standard error as UTF-8. A line that cannot be formatted
// (too long, or an argument that is no character) is replaced by a fixed notice,
// so the output always stays one well-formed line per call.
void DebugTrace(const wchar_t* format, ...);

// The character to show for a code in a trace: the code itself when it is
// printable ASCII, '?' otherwise, so a key code can never inject control
// characters, invalid characters or line breaks into the trace.
int traceableCharacter(int code);
