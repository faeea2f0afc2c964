// Switching to a full keyboard profile (read, parse, fill the caches) and
// saving it back, as the device does on every profile change.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "profiles/CBasicProfiledata.h"
#include "profiles/JsonFile.h"

namespace {

using namespace kx520::profiles;

struct Folder {
    Folder() {
        char name[] = "/tmp/kx520-bench-XXXXXX";
        path = ::mkdtemp(name) ? name : "/tmp";
        const Json::Value full = JsonFile::ReadJson(KX520_DATA_DIR "/DefaultData/keyboard.Json");
        profile = path + "/2024_01_01_00_00_00_000.Json";
        JsonFile::WriteJson(profile, full);
    }
    ~Folder() { std::filesystem::remove_all(path); }
    std::string path;
    std::string profile;
};

void BM_SwitchToFullKeyboardProfile(benchmark::State& state) {
    Folder folder;
    CBasicProfiledata data;
    for (auto _ : state) {
        data.SetProfilePath(folder.profile);
        data.LoadSection(folder.profile);
        benchmark::DoNotOptimize(data.GetLightInfo());
        benchmark::DoNotOptimize(data.GetAudioLightInfo());
        benchmark::DoNotOptimize(data.GetLightList());
        benchmark::DoNotOptimize(data.GetKeyList());
    }
}
BENCHMARK(BM_SwitchToFullKeyboardProfile)->Unit(benchmark::kMicrosecond);

void BM_SaveFullKeyboardProfile(benchmark::State& state) {
    Folder folder;
    CBasicProfiledata data;
    data.SetProfilePath(folder.profile);
    data.LoadSection(folder.profile);
    auto keys = data.GetKeyList();
    for (auto _ : state) {
        keys[0].assignment.param2 ^= 1;
        data.SetKeyList(keys);
        if (!data.Save()) {
            state.SkipWithError("save failed");
            return;
        }
    }
}
BENCHMARK(BM_SaveFullKeyboardProfile)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
