// dlopen and dlsym for the few functions the toy calls.
#include "platform/espeak/EspeakLibrary.h"

#include <dlfcn.h>

namespace platform {

namespace {

template <typename Function>
bool find(void* library, const char* symbol, Function& function, std::string& error)
{
    function = reinterpret_cast<Function>(dlsym(library, symbol));
    if (function == nullptr)
        error = std::string(symbol) + " is missing from espeak-ng's library";
    return function != nullptr;
}

} // namespace

std::unique_ptr<EspeakLibrary> EspeakLibrary::load(const char* name, std::string& error)
{
    void* library = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        // What the loader says names the file; a parent also needs to know
        // which package brings it.
        const char* why = dlerror();
        error = std::string("espeak-ng's library cannot be loaded (is libespeak-ng1 installed?): ") +
                (why != nullptr ? why : name);
        return nullptr;
    }
    auto functions = std::make_unique<EspeakLibrary>();
    if (find(library, "espeak_Initialize", functions->initialize, error) &&
        find(library, "espeak_SetSynthCallback", functions->setSynthCallback, error) &&
        find(library, "espeak_SetVoiceByName", functions->setVoiceByName, error) &&
        find(library, "espeak_Char", functions->sayCharacter, error) &&
        find(library, "espeak_Synth", functions->synth, error))
        return functions;
    return nullptr;
}

} // namespace platform
