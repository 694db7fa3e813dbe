// What the toy plays: a struck tone for every landing of a thrown cube and
// the name of a character whose key threw its own cube, mixed into the
// samples the platform's audio device asks for.
//
// Three threads meet here: the game's (landing, say), the platform's audio
// thread (render) and its speech thread (spoken). Nothing is allocated,
// locked or waited on in render: the game thread's events cross in a
// fixed-size lock-free queue, and each spoken clip is published through an
// atomic pointer once it is complete, and freed only with the board (after
// the platform stopped both other threads).
#pragma once

#include "platform/Audio.h"
#include "sound/EventQueue.h"
#include "sound/Mixer.h"
#include "sound/SpeechClip.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace sound {

class SoundBoard : public platform::AudioSource, public platform::SpeechSink {
public:
    static constexpr int cubeCount = 40;
    static constexpr std::size_t queueCapacity = 512;

    SoundBoard();
    ~SoundBoard() override;
    SoundBoard(const SoundBoard&) = delete;
    SoundBoard& operator=(const SoundBoard&) = delete;

    // Game thread. Cube `cube` came down to its place at `speed` (the
    // motion's speed before the bounce), `secondsAgo` before this call.
    virtual void landing(int cube, double secondsAgo, double speed);
    // Game thread. Says the name of the character cube `cube` carries.
    virtual void say(int cube);

    // Audio thread.
    void render(float* samples, int frames, int sampleRate, std::int64_t counter) override;
    // Speech thread: the spoken name of cube `index`.
    void spoken(int index, std::vector<std::int16_t> samples, int sampleRate) override;

    // Events the game thread could not hand over, the queue being full.
    std::uint64_t droppedEvents() const { return events.dropped(); }
    // The mix, for the audio thread and for tests that drive it.
    const Mixer& mixer() const { return mix; }

private:
    struct Event {
        enum class Kind { landing, say };
        Kind kind = Kind::landing;
        Landing landing;
    };

    EventQueue<Event, queueCapacity> events;
    std::array<std::atomic<const SpeechClip*>, cubeCount> clips{};
    // Every clip ever received, owned by the speech thread until the end.
    std::vector<std::unique_ptr<SpeechClip>> keptClips;
    Mixer mix;
};

} // namespace sound
