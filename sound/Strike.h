// One struck bar: a few inharmonic partials, each a decaying sinusoid made by
// a recursive oscillator (a complex phasor turned and shrunk a little every
// sample), so a voice costs a handful of multiplications a sample and no
// table or sample file. The partials follow the modes of a free bar, the high
// ones dying fastest, which is what makes it sound struck, like wood or glass.
#pragma once

#include <array>

namespace sound {

class Strike {
public:
    static constexpr int maximumPartials = 4;
    // A restart or a cut voice fades this long instead of stopping dead.
    static constexpr double fadeSeconds = 0.003;
    // The mallet's contact: the strike rises this long.
    static constexpr double attackSeconds = 0.0005;

    // Starts a strike of the note `frequency` whose partials' amplitudes add
    // up to `peak`, into channels weighted `left` and `right`.
    void start(int cube, double frequency, double peak, float left, float right, int sampleRate);
    // Follows a new sample rate, keeping every partial's phase and amplitude.
    void retune(int sampleRate);
    // Fades out over fadeSeconds; it is then done.
    void fadeOut();
    // Silent at once.
    void stop() { active = false; }

    // Adds `frames` frames of this strike into interleaved stereo `samples`.
    void mixInto(float* samples, int frames);

    bool isActive() const { return active; }
    bool isFading() const { return fadeStep > 0.0; }
    // Whether any of it has been mixed yet.
    bool isHeard() const { return heard; }
    int cube() const { return owner; }
    // The peak the strike can still reach: its partials' amplitudes added.
    double level() const;

private:
    struct Partial {
        double re = 0.0, im = 0.0; // the phasor; im is what sounds
        double turnRe = 1.0, turnIm = 0.0;
        double ratio = 1.0;
        double decaySeconds = 1.0;
    };

    void tunePartial(Partial& partial) const;

    std::array<Partial, maximumPartials> partials{};
    int partialCount = 0;
    bool active = false;
    bool heard = false;
    int owner = -1;
    double note = 0.0;
    int rate = 0;
    float leftGain = 0.0f, rightGain = 0.0f;
    double attack = 1.0, attackStep = 1.0;
    double fade = 1.0, fadeStep = 0.0;
};

} // namespace sound
