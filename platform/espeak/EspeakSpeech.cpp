// The speech thread. espeak-ng keeps one state for the whole process, so one
// job at a time speaks, and it is started once; synchronous output hands the samples to a callback on
// the calling thread, which collects them into the clip.
#include "platform/espeak/EspeakSpeech.h"

#include "platform/espeak/ClipTrim.h"
#include "platform/espeak/EspeakLibrary.h"
#include "platform/espeak/SpeechLanguage.h"

#include <sys/resource.h>
#include <unistd.h>

#include <condition_variable>
#include <cwctype>
#include <map>
#include <mutex>
#include <optional>

namespace platform {

namespace {

std::mutex engineMutex;
thread_local std::vector<std::int16_t>* collected = nullptr;

int collect(short* samples, int count, espeak_EVENT*)
{
    if (collected != nullptr && samples != nullptr && count > 0)
        collected->insert(collected->end(), samples, samples + count);
    return 0;
}

// The code point of a text of exactly one UTF-8 character.
std::optional<char32_t> singleCharacter(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    const auto first = static_cast<unsigned char>(text[0]);
    std::size_t length = first < 0x80           ? 1
                         : (first >> 5) == 0x6  ? 2
                         : (first >> 4) == 0xE  ? 3
                         : (first >> 3) == 0x1E ? 4
                                                : 0;
    if (length == 0 || text.size() != length)
        return std::nullopt;
    char32_t code = length == 1 ? first : first & (0x3Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        code = (code << 6) | (next & 0x3Fu);
    }
    return code;
}

// espeak-ng's voice for the language, else English. False when none at all.
bool chooseVoice(const EspeakLibrary& espeak, const std::string& requested, const SpeechReport& report)
{
    const std::string language = requested.empty() ? desktopLanguage() : requested;
    for (const std::string& voice : voiceCandidates(language))
        if (espeak.setVoiceByName(voice.c_str()) == EE_OK)
            return true;
    if (espeak.setVoiceByName("en") != EE_OK) {
        report("no speech: espeak-ng has no voice, not even English");
        return false;
    }
    report("no voice for language \"" + language + "\"; the names are said in English");
    return true;
}

std::vector<std::int16_t> say(const EspeakLibrary& espeak, const std::string& text)
{
    std::vector<std::int16_t> samples;
    collected = &samples;
    espeak_ERROR result;
    if (const std::optional<char32_t> character = singleCharacter(text)) {
        // The lower-case character: its name, where a capital would be said
        // as "capital ...".
        const auto lower = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(*character)));
        result = espeak.sayCharacter(lower);
    } else {
        result = espeak.synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    }
    // With synchronous output the call returns when the clip is complete.
    // (espeak_Synchronize would wait for good once the engine was started
    // a second time in the process.)
    collected = nullptr;
    if (result != EE_OK)
        samples.clear();
    return samples;
}

} // namespace

namespace {

// espeak-ng, started once for the whole process and kept: terminating it and
// starting it again leaves it waiting for good on its own thread. What it
// holds (about 2.4 MB) is not worth that risk.
struct Engine {
    std::unique_ptr<EspeakLibrary> library;
    int rate = 0;
    // Why it could not start, when it could not.
    std::string error;
};

// The engine on `libraryName`, started on first use; nullptr and `error` set
// when it cannot be had. Call with engineMutex held.
const Engine* startedEngine(const std::string& libraryName, std::string& error)
{
    static std::map<std::string, Engine> engines;
    if (const auto found = engines.find(libraryName); found != engines.end()) {
        error = found->second.error;
        return found->second.rate > 0 ? &found->second : nullptr;
    }
    Engine engine;
    engine.library = EspeakLibrary::load(libraryName.c_str(), error);
    if (!engine.library)
        return nullptr;
    // Without DONT_EXIT a missing data folder ends the whole process. With
    // it, failure is 0 or less.
    engine.rate = engine.library->initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (engine.rate <= 0) {
        // Kept, so that it is not started a second time.
        engine.error = "espeak-ng cannot start (is espeak-ng-data installed?)";
        error = engine.error;
        engines.emplace(libraryName, std::move(engine));
        return nullptr;
    }
    engine.library->setSynthCallback(collect);
    return &engines.emplace(libraryName, std::move(engine)).first->second;
}

} // namespace

void speakAll(const SpeechRequest& request, SpeechSink& sink, const SpeechReport& report,
              const std::string& libraryName, const std::function<bool()>& stopped)
{
    std::lock_guard lock(engineMutex);
    std::string error;
    const Engine* engine = startedEngine(libraryName, error);
    if (engine == nullptr) {
        report("no speech: " + (error.empty() ? std::string("espeak-ng cannot start") : error));
        return;
    }
    if (!chooseVoice(*engine->library, request.language, report))
        return;
    for (std::size_t i = 0; i < request.texts.size() && !stopped(); ++i) {
        std::vector<std::int16_t> samples = say(*engine->library, request.texts[i]);
        trimTrailingSilence(samples, engine->rate);
        if (!samples.empty())
            sink.spoken(static_cast<int>(i), std::move(samples), engine->rate);
    }
}

struct EspeakSpeech::Shared {
    SpeechSink* sink = nullptr;
    std::mutex mutex;
    std::condition_variable changed;
    bool stopped = false;
    bool finished = false;
};

namespace {

// Hands clips on while the speech is not stopped; stop() waits for a clip
// being handed on.
class GuardedSink : public SpeechSink {
public:
    explicit GuardedSink(EspeakSpeech::Shared& state) : shared(state) {}
    void spoken(int index, std::vector<std::int16_t> samples, int sampleRate) override
    {
        std::lock_guard lock(shared.mutex);
        if (!shared.stopped)
            shared.sink->spoken(index, std::move(samples), sampleRate);
    }

private:
    EspeakSpeech::Shared& shared;
};

} // namespace

EspeakSpeech::EspeakSpeech(SpeechRequest request, SpeechSink& sink, SpeechReport report, std::string libraryName)
    : shared(std::make_shared<Shared>())
{
    shared->sink = &sink;
    thread = std::thread([state = shared, request = std::move(request), report = std::move(report),
                          libraryName = std::move(libraryName)] {
        // The names are made while the toy builds its scene and draws its
        // first frames: on a machine of two cores they would take half of it
        // from start-up. At a low priority they mostly take what start-up
        // leaves free, yet not so low that a busy machine keeps them from a
        // child's first key. On Linux the niceness of a thread is its own.
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
        GuardedSink guarded(*state);
        speakAll(request, guarded, report, libraryName, [&state] {
            std::lock_guard lock(state->mutex);
            return state->stopped;
        });
        std::lock_guard lock(state->mutex);
        state->finished = true;
        state->changed.notify_all();
    });
}

EspeakSpeech::~EspeakSpeech()
{
    stop();
}

void EspeakSpeech::stop(std::chrono::milliseconds bound)
{
    if (!thread.joinable())
        return;
    bool finished;
    {
        std::unique_lock lock(shared->mutex);
        shared->stopped = true;
        finished = shared->changed.wait_for(lock, bound, [this] { return shared->finished; });
    }
    if (finished) {
        thread.join();
    } else {
        // Still inside the library (loading it from a slow disk): left to
        // finish on its own; it hands nothing on now.
        thread.detach();
    }
}

} // namespace platform
