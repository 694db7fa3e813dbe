// Which note, where and how loud each cube's landing sounds.
//
// The notes are the major pentatonic scale on C, laid over the grid from the
// bottom row up and, within a row, from left to right as the child sees it:
// the bottom-left cube is the lowest note, the top-right the highest. A
// pentatonic scale has no semitone and no tritone, so any set of keys pressed
// together is consonant. Forty distinct notes of five a octave span eight
// octaves; they run from C1 to A8, centred on the middle of a child's voice,
// and the tone gives the low ones overtones a small speaker can play.
#pragma once

namespace sound {

struct Tuning {
    static constexpr int cubeCount = 40;
    static constexpr int columns = 8;
    static constexpr int rows = 5;
    // The fastest landing there is (a fresh throw) and its peak, -12 dBFS on
    // the louder side: quiet enough for a child's ears at any volume setting,
    // with room for many at once below the limiter's ceiling.
    static constexpr double fullSpeed = 7.0;
    static constexpr double landingPeak = 0.25;

    // The note of cube `cube` (row cube / 8 from the top, column cube % 8 from
    // the left), in Hz.
    static double frequency(int cube);
    // Semitones above C1 of that note.
    static int semitones(int cube);
    // Gains of the left and right channel, by the cube's column: constant
    // power, the outer columns well to their side but never only on one.
    static void pan(int cube, float& left, float& right);
    // Peak of a landing at `speed`, proportional to it (the bounces die away
    // with the motion), with high notes a little softer since the ear is most
    // sensitive there.
    static double loudness(int cube, double speed);
};

} // namespace sound
