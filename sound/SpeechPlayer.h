// Says one name at a time: a clip played from its start, resampled on the fly
// to the device's rate (straight lines between its samples), in the middle of
// the stereo picture. A new name cuts the one being said with a short fade; a
// repeat of the name being said changes nothing.
#pragma once

#include "sound/SpeechClip.h"

namespace sound {

class SpeechPlayer {
public:
    static constexpr double fadeSeconds = 0.005;

    // Says `clip`, the name of cube `cube`, from the next frame mixed.
    void say(int cube, const SpeechClip* clip);
    // Adds `frames` frames at `sampleRate` into interleaved stereo `samples`.
    void mixInto(float* samples, int frames, int sampleRate);

    bool isSpeaking() const { return current.clip != nullptr; }
    int speakingCube() const { return current.clip != nullptr ? current.cube : -1; }

private:
    struct Lane {
        const SpeechClip* clip = nullptr;
        int cube = -1;
        double position = 0.0; // in the clip's samples
        double gain = 1.0;
    };

    // Adds one lane; fading lanes lose `fadeStep` of gain a frame.
    static void play(Lane& lane, float* samples, int frames, int sampleRate, double fadeStep);

    Lane current;
    Lane fading;
};

} // namespace sound
