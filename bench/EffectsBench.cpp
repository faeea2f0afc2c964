// One software-effect step over a full keyboard frame (170 LEDs).
#include <benchmark/benchmark.h>

#include <vector>

#include "lighting/SoftwareEffects.h"

namespace {

using namespace kx520;

constexpr size_t kKeyboardLeds = 170;

void BM_BreatheStep170Leds(benchmark::State& state) {
    std::vector<LedEntry> frame(kKeyboardLeds);
    SoftwareEffects effects;
    EffectSetting setting;
    setting.multiColor = true;
    for (auto _ : state) {
        effects.Breathe(setting, frame);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_BreatheStep170Leds);

void BM_SpectrumStep170Leds(benchmark::State& state) {
    std::vector<LedEntry> frame(kKeyboardLeds);
    SoftwareEffects effects;
    EffectSetting setting;
    for (auto _ : state) {
        effects.Spectrum(setting, frame);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_SpectrumStep170Leds);

}  // namespace

BENCHMARK_MAIN();
