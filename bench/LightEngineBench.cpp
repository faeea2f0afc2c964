// One step of each keyboard light mode over the 170 LEDs, against the
// 15.6 ms of one effect-clock tick (the light thread's budget per step).
#include <benchmark/benchmark.h>

#include <vector>

#include "devices/KeyboardLightEngine.h"

namespace {

using namespace kx520;

void BM_KeyboardLightStep(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    KeyboardLightEngine engine;
    engine.ResetEffect();
    engine.StartMode(mode);
    profiles::LightSetting setting;
    setting.brightness = 4;
    setting.direction = 1;
    setting.multiColor = 1;
    std::vector<LedEntry> frame(KeyboardLightEngine::kLeds);
    for (auto _ : state) {
        engine.Step(mode, setting, frame);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_KeyboardLightStep)->Arg(1)->Arg(2)->Arg(3)->Arg(5)->Arg(6)->Arg(7)->Arg(10)->Arg(11)->Arg(12)
    ->Arg(8)->Arg(9)->Arg(13)->Arg(14)->Arg(15)->Arg(16)->Arg(17)->Arg(18)->Arg(21)->Arg(22)->Arg(24)
    ->Arg(19)->Arg(30)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
