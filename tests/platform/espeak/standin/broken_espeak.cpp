// A stand-in for libespeak-ng whose start fails as the real one does without
// its data (espeak_Initialize returns 0 with espeakINITIALIZE_DONT_EXIT).
// Built without espeak_Char (ZINDLE_WITHOUT_CHAR), it stands for a library
// too old or too new to have every function the toy calls.
#include <cstddef>

extern "C" {

int espeak_Initialize(int, int, const char*, int)
{
    return 0;
}
void espeak_SetSynthCallback(void*) {}
int espeak_SetVoiceByName(const char*)
{
    return 2;
}
#ifndef ZINDLE_WITHOUT_CHAR
int espeak_Char(wchar_t)
{
    return -1;
}
#endif
int espeak_Synth(const void*, std::size_t, unsigned, int, unsigned, unsigned, unsigned*, void*)
{
    return -1;
}
}
