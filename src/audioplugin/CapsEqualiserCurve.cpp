#include "audioplugin/CapsEqualiserCurve.h"

#include <algorithm>
#include <cmath>

namespace kx520::audio {

namespace {

using Bands = std::array<double, CapsEqualiserCurve::kBands>;

// kContribution[k][b]: how much of band b's linear gain reaches centre k;
// kBase[k]: what reaches it whatever the gains. Fitted to the filter's
// measured response with each band alone at +7 and all flat.
constexpr double kContribution[CapsEqualiserCurve::kBands][CapsEqualiserCurve::kBands] = {
    {0.6147, 0.4512, 0.2016, 0.0850, 0.0380, 0.0179, 0.0089, 0.0045, 0.0027, 0.0018},
    {0.2688, 0.6521, 0.4210, 0.1558, 0.0586, 0.0235, 0.0107, 0.0049, 0.0029, 0.0019},
    {0.0749, 0.3124, 0.6679, 0.3779, 0.1282, 0.0420, 0.0148, 0.0059, 0.0030, 0.0020},
    {0.0188, 0.0883, 0.3337, 0.6568, 0.3640, 0.1159, 0.0348, 0.0108, 0.0039, 0.0029},
    {0.0049, 0.0218, 0.0938, 0.3332, 0.6597, 0.3584, 0.1108, 0.0318, 0.0108, 0.0079},
    {0.0010, 0.0050, 0.0230, 0.0947, 0.3379, 0.6634, 0.3557, 0.1098, 0.0342, 0.0240},
    {0.0000, 0.0010, 0.0061, 0.0246, 0.0979, 0.3439, 0.6654, 0.3530, 0.1177, 0.0794},
    {0.0000, 0.0011, 0.0032, 0.0084, 0.0297, 0.1059, 0.3536, 0.6590, 0.3509, 0.2352},
    {0.0010, 0.0010, 0.0031, 0.0062, 0.0157, 0.0422, 0.1216, 0.3653, 0.6388, 0.5113},
    {0.0007, 0.0007, 0.0015, 0.0037, 0.0075, 0.0158, 0.0358, 0.0884, 0.2845, 0.7727},
};
constexpr double kBase[CapsEqualiserCurve::kBands] = {-0.0581, -0.1086, -0.1185, -0.1241, -0.1240,
                                                      -0.1241, -0.1313, -0.1335, -0.1117, -0.0627};
constexpr int kPasses = 200;
// What the model leaves between a raised band's centre and the rest, as
// measured through the filter: the lowest bands come out 0.65 dB short,
// the others a little over.
constexpr double kPeakTrim[CapsEqualiserCurve::kBands] = {0.64, 0.65, 0.65, -0.17, -0.15,
                                                          -0.16, -0.21, -0.18, -0.16, -0.15};

double Linear(double decibels) {
    return std::pow(10.0, decibels / 20.0);
}

double Decibels(double linear) {
    return 20.0 * std::log10(std::max(linear, 1e-9));
}

}  // namespace

bool CapsEqualiserCurve::Flat(const std::array<int, kBands>& gains) {
    return std::all_of(gains.begin(), gains.end(), [&](int gain) { return gain == gains[0]; });
}

Bands CapsEqualiserCurve::Response(const Bands& controls) {
    Bands response{};
    for (int k = 0; k < kBands; ++k) {
        double sum = kBase[k];
        for (int b = 0; b < kBands; ++b) {
            sum += kContribution[k][b] * Linear(controls[static_cast<size_t>(b)]);
        }
        response[static_cast<size_t>(k)] = Decibels(sum);
    }
    return response;
}

Bands CapsEqualiserCurve::Controls(const std::array<int, kBands>& gains) {
    const int highest = *std::max_element(gains.begin(), gains.end());
    Bands target{};
    for (int k = 0; k < kBands; ++k) {
        const int asked = gains[static_cast<size_t>(k)];
        target[static_cast<size_t>(k)] = asked - highest + (asked == highest ? kPeakTrim[k] : 0.0);
    }
    const double top = *std::max_element(target.begin(), target.end());
    Bands wanted{};
    Bands gain{};
    for (int k = 0; k < kBands; ++k) {
        wanted[static_cast<size_t>(k)] = Linear(target[static_cast<size_t>(k)] - top);
        gain[static_cast<size_t>(k)] = 1.0;
    }
    // Each centre mostly answers to its own band: settle one band at a time
    // against the others until the curve stands still.
    const double lowest = Linear(kLowestControl);
    const double ceiling = Linear(kHighestControl);
    for (int pass = 0; pass < kPasses; ++pass) {
        for (int b = 0; b < kBands; ++b) {
            double rest = kBase[b];
            for (int j = 0; j < kBands; ++j) {
                rest += j == b ? 0.0 : kContribution[b][j] * gain[static_cast<size_t>(j)];
            }
            const double own = (wanted[static_cast<size_t>(b)] - rest) / kContribution[b][b];
            gain[static_cast<size_t>(b)] = std::clamp(own, lowest, ceiling);
        }
    }
    Bands controls{};
    for (int b = 0; b < kBands; ++b) {
        controls[static_cast<size_t>(b)] = std::round(Decibels(gain[static_cast<size_t>(b)]) * 100.0) / 100.0;
    }
    return controls;
}

}  // namespace kx520::audio
