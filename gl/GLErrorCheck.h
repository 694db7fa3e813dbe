// The one place GL errors are looked at. The texture code calls glGetError()
// after the calls it checks and throws the result away, which only clears GL's
// error flag; debug builds also trace which call left an error behind.
#pragma once

#include <GL/gl.h>

#ifdef NDEBUG
#define ZINDLE_GL_DISCARD_ERROR(what) ((void)glGetError())
#else
#include "util/DebugTrace.h"
#define ZINDLE_GL_DISCARD_ERROR(what)                                                                                  \
    do {                                                                                                               \
        const GLenum zindleGLError = glGetError();                                                                     \
        if (zindleGLError != GL_NO_ERROR)                                                                              \
            DebugTrace(L"GL error 0x%04x after %ls (%ls:%d)\n", zindleGLError, L"" what, L"" __FILE__, __LINE__);      \
    } while (0)
#endif
