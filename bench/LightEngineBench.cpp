// One step of each keyboard light mode over the 170 LEDs, and of the
// mouse's own modes over its 15, against the 15.6 ms of one effect-clock
// tick (the light thread's budget per step).
#include <benchmark/benchmark.h>

#include <vector>

#include "lighting/CustomEffectPlayer.h"
#include "keyboard/KeyboardLightEngine.h"
#include "lighting/LightListOverrides.h"
#include "mouse/MouseLightEngine.h"

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
    ->Arg(19)->Arg(25)->Arg(30)->Unit(benchmark::kNanosecond);

// The music (mode 29) in each of its seven styles, with a fresh band set
// before every step as the audio feed gives it.
void BM_KeyboardMusicStep(benchmark::State& state) {
    KeyboardLightEngine engine;
    engine.ResetEffect();
    profiles::AudioLightSetting audio;
    audio.audioMode = static_cast<uint8_t>(state.range(0));
    audio.sevenColor = 1;
    engine.SetAudioLight(audio);
    profiles::LightSetting setting;
    setting.brightness = 4;
    setting.direction = 1;
    std::vector<int32_t> bands(25);
    std::vector<LedEntry> frame(KeyboardLightEngine::kLeds);
    int32_t level = 0;
    for (auto _ : state) {
        for (int32_t& band : bands) {
            band = level = (level + 377) % 2000;
        }
        engine.SetAudioBands(bands, KeyboardLightEngine::kMusicMode);
        engine.Step(KeyboardLightEngine::kMusicMode, setting, frame);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_KeyboardMusicStep)->DenseRange(0, 6)->Unit(benchmark::kNanosecond);

// A custom effect of three frames, one pass per tick.
void BM_CustomEffectPass(benchmark::State& state) {
    CustomEffectPlayer player;
    std::vector<profiles::LightEffectFrame> frames(3);
    for (size_t i = 0; i < frames.size(); ++i) {
        frames[i].setting.mode = static_cast<uint8_t>(i == 0 ? 0 : i == 1 ? 2 : 5);
        frames[i].setting.brightness = 4;
        frames[i].setting.speed = 4;
        frames[i].time = 50;
    }
    player.SetFrames(frames);
    std::vector<LedEntry> frame(KeyboardLightEngine::kLeds);
    uint32_t now = 0;
    for (auto _ : state) {
        now += 16;
        player.Pass(now, true, frame);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_CustomEffectPass)->Unit(benchmark::kNanosecond);

// The light list over all 170 LEDs, every one with a setting of its own.
void BM_LightListOverridesPass(benchmark::State& state) {
    LightListOverrides overrides;
    std::vector<profiles::LightSetting> list(KeyboardLightEngine::kLeds);
    for (size_t i = 0; i < list.size(); ++i) {
        list[i].mode = static_cast<uint8_t>(i % 5);
        list[i].present = 1;
        list[i].brightness = 4;
    }
    std::vector<LedEntry> frame(KeyboardLightEngine::kLeds);
    uint32_t now = 0;
    for (auto _ : state) {
        now += 4;
        overrides.Apply(list, now, now % 16 == 0, frame);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_LightListOverridesPass)->Unit(benchmark::kNanosecond);

}  // namespace

void BM_MouseLightStep(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    MouseLightEngine engine;
    engine.Reset();
    profiles::LightSetting setting;
    setting.brightness = 4;
    setting.direction = 1;
    setting.multiColor = 1;
    std::vector<LedEntry> frame(MouseLightEngine::kLeds);
    uint32_t seed = 1;
    for (auto _ : state) {
        switch (mode) {
            case MouseLightEngine::kGroupWave: engine.GroupWave(setting, frame); break;
            case MouseLightEngine::kRunningLight: engine.RunningLight(setting, frame); break;
            default:
                if (++seed % 40 == 0) {
                    engine.StartFade(seed);  // a reaction now and then
                }
                engine.FadeFrame(setting, frame);
                break;
        }
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_MouseLightStep)->Arg(MouseLightEngine::kGroupWave)->Arg(MouseLightEngine::kRunningLight)
    ->Arg(MouseLightEngine::kFadeReaction)->Unit(benchmark::kNanosecond);

BENCHMARK_MAIN();
