// Speech on Windows: SAPI 5 says each character's name into memory on a
// thread of its own (22050 Hz mono 16-bit), and the clips go to the program,
// which plays them in its own mix. The voice is the first that speaks the
// asked language (or the user's display language), else an English one.
// Where SAPI cannot speak (it answers E_NOTIMPL under Wine) one trace line
// says so and no clip is made; the tones play on.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Com.h"
#include "platform/win32/Win32Text.h"
#include "platform/win32/Win32Voices.h"
#include "platform/win32/Win32Worker.h"
#include "util/DebugTrace.h"

#include <windows.h>

#include <sapi.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace platform {

using namespace win32;

namespace {

constexpr int clipRate = 22050;

// SAPI's identifier of a stream format given as a WAVEFORMATEX, which no
// mingw-w64 library defines.
constexpr GUID waveFormatExId = {0xC31ADBAE, 0x527F, 0x4ff5, {0xA2, 0x30, 0xF6, 0x2B, 0xB6, 0x1F, 0xF7, 0x0C}};

struct Failure {
    HRESULT result = S_OK;
    const wchar_t* step = L"";
};

// Picks the voice for `wanted` among the installed ones; leaves SAPI's
// default where none fits or the voices cannot be listed.
void chooseVoiceFor(ISpVoice& voice, LANGID wanted)
{
    ComRef<ISpObjectTokenCategory> category;
    ComRef<IEnumSpObjectTokens> tokens;
    if (FAILED(CoCreateInstance(CLSID_SpObjectTokenCategory, nullptr, CLSCTX_ALL, IID_ISpObjectTokenCategory,
                                category.putVoid())) ||
        FAILED(category->SetId(SPCAT_VOICES, FALSE)) || FAILED(category->EnumTokens(nullptr, nullptr, tokens.put())))
        return;
    std::vector<ISpObjectToken*> voices;
    std::vector<std::vector<LANGID>> languages;
    for (ISpObjectToken* token = nullptr; tokens->Next(1, &token, nullptr) == S_OK; token = nullptr) {
        std::vector<LANGID> spoken;
        ComRef<ISpDataKey> attributes;
        wchar_t* attribute = nullptr;
        if (SUCCEEDED(token->OpenKey(L"Attributes", attributes.put())) &&
            SUCCEEDED(attributes->GetStringValue(L"Language", &attribute))) {
            spoken = voiceLanguages(attribute);
            CoTaskMemFree(attribute);
        }
        voices.push_back(token);
        languages.push_back(std::move(spoken));
    }
    const int chosen = chooseVoice(languages, wanted);
    if (chosen >= 0) {
        wchar_t* name = nullptr;
        voices[static_cast<std::size_t>(chosen)]->GetStringValue(nullptr, &name);
        const HRESULT result = voice.SetVoice(voices[static_cast<std::size_t>(chosen)]);
        DebugTrace(L"speech: voice \"%ls\" for language 0x%04X%ls", name != nullptr ? name : L"?",
                   static_cast<unsigned>(wanted), SUCCEEDED(result) ? L"" : L" could not be chosen");
        CoTaskMemFree(name);
    } else {
        DebugTrace(L"speech: no voice speaks language 0x%04X or English; the default voice speaks",
                   static_cast<unsigned>(wanted));
    }
    for (ISpObjectToken* token : voices)
        token->Release();
}

// Says `markup` into memory as 22050 Hz mono 16-bit samples.
Failure sayIntoMemory(ISpVoice& voice, const std::wstring& markup, std::vector<std::int16_t>& samples)
{
    ComRef<IStream> memory;
    HRESULT result = CreateStreamOnHGlobal(nullptr, TRUE, memory.put());
    if (FAILED(result))
        return {result, L"making a memory stream"};
    ComRef<ISpStream> stream;
    if (FAILED(result = CoCreateInstance(CLSID_SpStream, nullptr, CLSCTX_ALL, IID_ISpStream, stream.putVoid())))
        return {result, L"making a speech stream"};
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = clipRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = clipRate * 2;
    if (FAILED(result = stream->SetBaseStream(memory.get(), waveFormatExId, &format)))
        return {result, L"setting the stream's format"};
    if (FAILED(result = voice.SetOutput(stream.get(), TRUE)))
        return {result, L"speaking into memory"};
    result = voice.Speak(markup.c_str(), SPF_IS_XML, nullptr);
    voice.SetOutput(nullptr, TRUE);
    if (FAILED(result))
        return {result, L"speaking"};

    // What was written ends where the memory stream's position is.
    ULARGE_INTEGER end{};
    if (FAILED(result = memory->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &end)))
        return {result, L"reading the clip's length"};
    HGLOBAL global = nullptr;
    if (FAILED(result = GetHGlobalFromStream(memory.get(), &global)))
        return {result, L"reading the clip"};
    const std::size_t bytes = static_cast<std::size_t>(end.QuadPart);
    if (bytes > GlobalSize(global))
        return {E_UNEXPECTED, L"reading the clip"};
    samples.resize(bytes / 2);
    if (const void* data = GlobalLock(global)) {
        std::memcpy(samples.data(), data, samples.size() * 2);
        GlobalUnlock(global);
    } else {
        return {HRESULT_FROM_WIN32(GetLastError()), L"reading the clip"};
    }
    return {};
}

void speakAll(WorkerSignals& signals, const SpeechRequest& request, SpeechSink& sink)
{
    ComRef<ISpVoice> voice;
    HRESULT result = CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice, voice.putVoid());
    if (FAILED(result)) {
        DebugTrace(L"speech: Windows has no speech here (0x%08lX); the names are not said",
                   static_cast<unsigned long>(result));
        return;
    }
    LANGID wanted = request.language.empty() ? GetUserDefaultUILanguage() : languageOfTag(request.language);
    if (wanted == 0) {
        DebugTrace(L"speech: Windows knows no language \"%ls\"; English is spoken", widen(request.language).c_str());
        wanted = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    }
    chooseVoiceFor(*voice.get(), wanted);

    int said = 0;
    for (std::size_t i = 0; i < request.texts.size() && !signals.stopRequested(); ++i) {
        std::vector<std::int16_t> samples;
        const Failure failure = sayIntoMemory(*voice.get(), spellingMarkup(request.texts[i]), samples);
        if (failure.result == E_NOTIMPL) {
            // Nothing else would be said either.
            DebugTrace(L"speech: Windows cannot speak here (%ls, 0x%08lX); the names are not said", failure.step,
                       static_cast<unsigned long>(failure.result));
            return;
        }
        if (FAILED(failure.result)) {
            DebugTrace(L"speech: name %d could not be said (%ls, 0x%08lX)", static_cast<int>(i), failure.step,
                       static_cast<unsigned long>(failure.result));
            continue;
        }
        if (samples.empty())
            continue;
        if (!signals.beginCall())
            return;
        sink.spoken(static_cast<int>(i), std::move(samples), clipRate);
        signals.endCall();
        ++said;
    }
    DebugTrace(L"speech: %d of %d names said", said, static_cast<int>(request.texts.size()));
}

} // namespace

void Win32Platform::startSpeech(const SpeechRequest& request, SpeechSink& sink)
{
    if (speech)
        return;
    speech.reset(new Worker(L"speech", [request, &sink](WorkerSignals& signals) { speakAll(signals, request, sink); }));
}

void Win32Platform::stopSpeech()
{
    if (speech)
        speech->stopWithin(2000);
    speech.reset();
}

} // namespace platform
