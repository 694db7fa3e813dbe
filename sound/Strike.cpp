// A struck bar's partials, each a decaying phasor (see Strike.h).
#include "sound/Strike.h"

#include <algorithm>
#include <cmath>

namespace sound {

namespace {

constexpr double pi = 3.14159265358979323846;
// The modes of a free bar, as multiples of its lowest.
constexpr double modeRatios[Strike::maximumPartials] = {1.0, 2.756, 5.404, 8.933};
constexpr double modeAmplitudes[Strike::maximumPartials] = {1.0, 0.45, 0.22, 0.1};
// Partials stay below this share of the sample rate and below this pitch.
constexpr double nyquistShare = 0.45;
constexpr double highestPartial = 16000.0;
// Below this the fundamental is more felt than heard on small speakers: the
// overtones carry the strike.
constexpr double lowNote = 250.0;
// Once the strike's peak falls below this it is over (-94 dBFS).
constexpr double silence = 2e-5;

// How long the lowest mode rings (time to 1/e): low notes longer.
double ringSeconds(double frequency)
{
    return std::clamp(0.5 * std::pow(262.0 / frequency, 0.4), 0.12, 1.0);
}

} // namespace

void Strike::start(int cube, double frequency, double peak, float left, float right, int sampleRate)
{
    owner = cube;
    note = frequency;
    rate = sampleRate;
    leftGain = left;
    rightGain = right;
    const double lowBoost = frequency < lowNote ? std::min(3.0, std::pow(lowNote / frequency, 0.6)) : 1.0;
    const double limit = std::min(highestPartial, nyquistShare * static_cast<double>(sampleRate));
    double total = 0.0;
    std::array<double, maximumPartials> amplitudes{};
    partialCount = 0;
    for (int k = 0; k < maximumPartials; ++k) {
        if (frequency * modeRatios[k] >= limit)
            break;
        amplitudes[k] = modeAmplitudes[k] * (k == 0 ? 1.0 : lowBoost);
        total += amplitudes[k];
        ++partialCount;
    }
    const double ring = ringSeconds(frequency);
    for (int k = 0; k < partialCount; ++k) {
        Partial& partial = partials[k];
        partial.ratio = modeRatios[k];
        partial.decaySeconds = ring / std::pow(modeRatios[k], 0.8);
        // Every partial starts at phase 0 with its share of the peak.
        partial.re = peak * amplitudes[k] / total;
        partial.im = 0.0;
        tunePartial(partial);
    }
    attack = 0.0;
    fade = 1.0;
    fadeStep = 0.0;
    attackStep = 1.0 / std::max(1.0, attackSeconds * static_cast<double>(sampleRate));
    active = partialCount > 0 && peak > 0.0;
    heard = false;
}

void Strike::tunePartial(Partial& partial) const
{
    const double frequency = note * partial.ratio;
    if (frequency >= nyquistShare * static_cast<double>(rate)) {
        partial.re = partial.im = 0.0; // no longer playable at this rate
        partial.turnRe = partial.turnIm = 0.0;
        return;
    }
    const double shrink = std::exp(-1.0 / (partial.decaySeconds * static_cast<double>(rate)));
    const double angle = 2.0 * pi * frequency / static_cast<double>(rate);
    partial.turnRe = shrink * std::cos(angle);
    partial.turnIm = shrink * std::sin(angle);
}

void Strike::retune(int sampleRate)
{
    if (!active || sampleRate == rate)
        return;
    const double scale = static_cast<double>(rate) / static_cast<double>(sampleRate);
    rate = sampleRate;
    for (int k = 0; k < partialCount; ++k)
        tunePartial(partials[k]);
    attackStep *= scale;
    fadeStep *= scale;
}

void Strike::fadeOut()
{
    if (active && fadeStep == 0.0)
        fadeStep = 1.0 / std::max(1.0, fadeSeconds * static_cast<double>(rate));
}

double Strike::level() const
{
    if (!active)
        return 0.0;
    double sum = 0.0;
    for (int k = 0; k < partialCount; ++k)
        sum += std::hypot(partials[k].re, partials[k].im);
    return sum * fade;
}

void Strike::mixInto(float* samples, int frames)
{
    if (!active || frames <= 0)
        return;
    heard = true;
    for (int frame = 0; frame < frames; ++frame) {
        double sum = 0.0;
        for (int k = 0; k < partialCount; ++k) {
            Partial& p = partials[k];
            const double re = p.re * p.turnRe - p.im * p.turnIm;
            p.im = p.re * p.turnIm + p.im * p.turnRe;
            p.re = re;
            sum += p.im;
        }
        attack = std::min(1.0, attack + attackStep);
        const double value = sum * attack * fade;
        samples[2 * frame] += static_cast<float>(value * leftGain);
        samples[2 * frame + 1] += static_cast<float>(value * rightGain);
        if (fadeStep > 0.0) {
            fade -= fadeStep;
            if (fade <= 0.0) {
                active = false;
                return;
            }
        }
    }
    if (level() < silence)
        active = false;
}

} // namespace sound
