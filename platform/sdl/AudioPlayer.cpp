// The audio thread: starts SDL's audio, opens the default device as float32
// stereo, and watches it. A device that cannot be had or goes away is looked
// for again every second, with the audio subsystem started afresh so that a
// sound server that was restarted is found by a new connection.
#include "platform/sdl/AudioPlayer.h"

#include "platform/Counter.h"
#include "platform/sdl/AlsaMessages.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace platform {

struct AudioPlayer::Shared {
    AudioSource* source = nullptr;
    Report report;
    std::atomic<int> rate{wantedRate};
    // Set once stop began: the callback then plays silence.
    std::atomic<bool> stopping{false};
    // Callbacks inside the source right now.
    std::atomic<int> rendering{0};
    // Callbacks so far: a device that stops asking is as good as lost.
    std::atomic<std::uint64_t> callbacks{0};

    std::mutex mutex;
    std::condition_variable changed;
    bool stopRequested = false;
    bool finished = false;

    // Waits `period` or until stop is asked for; true when it is.
    bool waitForStop(std::chrono::milliseconds period)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, period, [this] { return stopRequested; });
    }
};

namespace {

void SDLCALL fill(void* userdata, Uint8* stream, int length)
{
    auto* shared = static_cast<AudioPlayer::Shared*>(userdata);
    const std::int64_t counter = queryPerformanceCounter();
    auto* samples = reinterpret_cast<float*>(stream);
    const int frames = length / static_cast<int>(2 * sizeof(float));
    // Counted before the flag is read, so stop() sees either this call or
    // the callback sees the flag.
    shared->rendering.fetch_add(1);
    if (!shared->stopping.load())
        shared->source->render(samples, frames, shared->rate.load(), counter);
    else
        std::fill(samples, samples + 2 * frames, 0.0f);
    shared->rendering.fetch_sub(1);
    shared->callbacks.fetch_add(1, std::memory_order_relaxed);
}

class Session {
public:
    explicit Session(AudioPlayer::Shared& state) : shared(state) {}

    void run()
    {
        silenceAlsaMessages();
        while (!shared.waitForStop(std::chrono::milliseconds(0))) {
            if (device == 0 && !open()) {
                close();
                if (shared.waitForStop(AudioPlayer::retryPeriod))
                    break;
                continue;
            }
            if (shared.waitForStop(checkPeriod))
                break;
            if (deviceGone()) {
                shared.report("sound device lost; looking for it again");
                lost = true;
                close();
            }
        }
        close();
    }

private:
    static constexpr std::chrono::milliseconds checkPeriod{250};
    // A device that asked for nothing this long, where it asks every 11 ms.
    static constexpr int quietChecks = 4;

    // SDL says so where the driver notices (ALSA, PulseAudio); PipeWire's
    // stream just stops asking when its server goes away.
    bool deviceGone()
    {
        if (SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED)
            return true;
        const std::uint64_t count = shared.callbacks.load(std::memory_order_relaxed);
        quiet = count == lastCount ? quiet + 1 : 0;
        lastCount = count;
        return quiet >= quietChecks;
    }

    bool open()
    {
        if (!subsystem) {
            if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
                return fail(SDL_GetError());
            subsystem = true;
        }
        // A sound server may have kept this thread a long time.
        if (shared.waitForStop(std::chrono::milliseconds(0)))
            return false;
        SDL_AudioSpec wanted{};
        wanted.freq = AudioPlayer::wantedRate;
        wanted.format = AUDIO_F32SYS;
        wanted.channels = 2;
        wanted.samples = AudioPlayer::wantedFrames;
        wanted.callback = fill;
        wanted.userdata = &shared;
        SDL_AudioSpec obtained{};
        // SDL converts to whatever the device wants but its rate, which the
        // source is told instead.
        device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (device == 0)
            return fail(SDL_GetError());
        shared.rate.store(obtained.freq);
        lastCount = shared.callbacks.load(std::memory_order_relaxed);
        quiet = 0;
        if (silent || lost)
            shared.report(std::string("sound back on ") + SDL_GetCurrentAudioDriver());
        silent = false;
        lost = false;
        SDL_PauseAudioDevice(device, 0);
        return true;
    }

    // Says why once an outage; the tries after stay quiet.
    bool fail(const char* why)
    {
        if (!silent && !lost)
            shared.report(std::string("no sound: ") + (why != nullptr && *why != '\0' ? why : "no audio device"));
        silent = true;
        return false;
    }

    void close()
    {
        if (device != 0)
            SDL_CloseAudioDevice(device);
        device = 0;
        if (subsystem)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystem = false;
    }

    AudioPlayer::Shared& shared;
    SDL_AudioDeviceID device = 0;
    bool subsystem = false;
    // An outage was reported: no device from the start, or the device lost.
    bool silent = false;
    bool lost = false;
    std::uint64_t lastCount = 0;
    int quiet = 0;
};

} // namespace

AudioPlayer::AudioPlayer(AudioSource& source, Report report) : shared(std::make_shared<Shared>())
{
    shared->source = &source;
    shared->report = std::move(report);
    // The thread holds the shared state too: if it has to be left behind in
    // stop(), what it touches stays alive.
    thread = std::thread([state = shared] {
        Session(*state).run();
        // SDL keeps an error buffer and a table of thread-local data for
        // every thread that calls it; for a thread it did not make, only
        // this frees them.
        SDL_TLSCleanup();
        std::lock_guard lock(state->mutex);
        state->finished = true;
        state->changed.notify_all();
    });
}

AudioPlayer::~AudioPlayer()
{
    stop();
}

void AudioPlayer::stop(std::chrono::milliseconds bound)
{
    if (!thread.joinable())
        return;
    shared->stopping.store(true);
    bool finished;
    {
        std::unique_lock lock(shared->mutex);
        shared->stopRequested = true;
        shared->changed.notify_all();
        finished = shared->changed.wait_for(lock, bound, [this] { return shared->finished; });
    }
    if (finished) {
        thread.join();
        return;
    }
    // The thread is stuck inside a sound server's library (one that accepts
    // the connection and never answers): it is left behind rather than hang
    // the toy's exit. Should it ever come back, it closes what it opened; a
    // device it opens meanwhile plays silence, as `stopping` is set.
    thread.detach();
    while (shared->rendering.load() != 0)
        std::this_thread::yield();
}

} // namespace platform
