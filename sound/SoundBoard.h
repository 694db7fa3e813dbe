// What the toy plays: a struck tone for every landing of a thrown cube and
// the name of a character whose key threw its own cube, mixed into the
// samples the platform's audio device asks for.
//
// Three threads meet here: the game's (landing, say), the platform's audio
// thread (render) and its speech thread (spoken). Nothing is allocated,
// locked or waited on in render.
#pragma once

#include "platform/Audio.h"

#include <cstdint>
#include <vector>

namespace sound {

class SoundBoard : public platform::AudioSource, public platform::SpeechSink {
public:
    static constexpr int cubeCount = 40;

    SoundBoard();
    ~SoundBoard() override;
    SoundBoard(const SoundBoard&) = delete;
    SoundBoard& operator=(const SoundBoard&) = delete;

    // Game thread. Cube `cube` came down to its place at `speed` (the
    // motion's speed before the bounce), `secondsAgo` before this call.
    void landing(int cube, double secondsAgo, double speed);
    // Game thread. Says the name of the character cube `cube` carries.
    void say(int cube);

    // Audio thread.
    void render(float* samples, int frames, int sampleRate, std::int64_t counter) override;
    // Speech thread: the spoken name of cube `index`.
    void spoken(int index, std::vector<std::int16_t> samples, int sampleRate) override;
};

} // namespace sound
