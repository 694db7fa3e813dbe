// libespeak-ng, loaded at run time: the toy starts and plays without it, and
// nothing of it is linked or shipped. Knows the library by its header only.
#pragma once

#include <espeak-ng/speak_lib.h>

#include <memory>
#include <string>

namespace platform {

struct EspeakLibrary {
    // Loads `name` and finds every function below; nullptr and `error` set
    // when it cannot. The library stays loaded for the rest of the process:
    // unloading code that started threads of its own is not safe.
    static std::unique_ptr<EspeakLibrary> load(const char* name, std::string& error);

    decltype(&espeak_Initialize) initialize = nullptr;
    decltype(&espeak_SetSynthCallback) setSynthCallback = nullptr;
    decltype(&espeak_SetVoiceByName) setVoiceByName = nullptr;
    decltype(&espeak_Char) sayCharacter = nullptr;
    decltype(&espeak_Synth) synth = nullptr;
};

} // namespace platform
