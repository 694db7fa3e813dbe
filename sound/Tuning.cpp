// The cubes' notes, balance and loudness (see Tuning.h).
#include "sound/Tuning.h"

#include <algorithm>
#include <cmath>

namespace sound {

namespace {

constexpr double lowestNote = 32.703195662574829; // C1
constexpr int scaleSteps[5] = {0, 2, 4, 7, 9};    // C D E G A
constexpr double pi = 3.14159265358979323846;
// How far the outer columns sit from the centre, of a hard pan.
constexpr double width = 0.7;
// Above this the ear needs less energy to hear the same loudness.
constexpr double sensitiveFrom = 1000.0;

} // namespace

int Tuning::semitones(int cube)
{
    const int row = cube / columns;
    const int column = cube % columns;
    const int step = (rows - 1 - row) * columns + column;
    return 12 * (step / 5) + scaleSteps[step % 5];
}

double Tuning::frequency(int cube)
{
    return lowestNote * std::exp2(static_cast<double>(semitones(cube)) / 12.0);
}

void Tuning::pan(int cube, float& left, float& right)
{
    const double column = static_cast<double>(cube % columns);
    const double position = width * (column - 3.5) / 3.5; // -width (left) to +width
    const double angle = (position + 1.0) * pi / 4.0;
    left = static_cast<float>(std::cos(angle));
    right = static_cast<float>(std::sin(angle));
}

double Tuning::loudness(int cube, double speed)
{
    if (!(speed > 0.0))
        return 0.0;
    const double share = std::min(speed / fullSpeed, 1.0);
    const double note = frequency(cube);
    const double tilt = note > sensitiveFrom ? std::sqrt(sensitiveFrom / note) : 1.0;
    return landingPeak * share * tilt;
}

} // namespace sound
