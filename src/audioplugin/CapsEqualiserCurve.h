#pragma once

#include <array>

namespace kx520::audio {

// The controls of caps' ten-band equaliser (Eq10X2) that give each band's
// centre the gain asked for. Its bands overlap (a band alone at +7 lifts
// its centre by under 4 dB, and the whole filter is 3.6 dB louder than its
// input when flat), so the controls are solved for, on a model of the
// filter's response at the ten centres measured at 44.1 kHz. The curve is
// placed with its highest band at 0 dB: what is raised never clips. Boosts
// land within a decibel; a deep cut of one band alone comes out shallower.
class CapsEqualiserCurve {
public:
    static constexpr int kBands = 10;
    static constexpr double kLowestControl = -48.0;
    static constexpr double kHighestControl = 24.0;

    // `gains` in dB at 31 Hz ... 16 kHz.
    static std::array<double, kBands> Controls(const std::array<int, kBands>& gains);
    // The response the model gives at the centres for `controls`, in dB.
    static std::array<double, kBands> Response(const std::array<double, kBands>& controls);
    // Every band the same: the curve needs no filter at all.
    static bool Flat(const std::array<int, kBands>& gains);
};

}  // namespace kx520::audio
