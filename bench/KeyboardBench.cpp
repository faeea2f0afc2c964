// The keyboard's connection reads and its key-table plus macro write, and
// the mouse's start-up read and configuration-record write, on the virtual
// devices at the bus's pace (one report per millisecond each way), against
// what the bus allows: 2 ms a packet, plus the 10 ms every CMD_END waits
// before it is sent.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <type_traits>
#include <time.h>

#include "keyboard/KeyboardCore.h"
#include "mouse/MouseCore.h"
#include "catalog/PageKeyDefaults.h"
#include "kx520ctl/ProductChannel.h"
#include "sim/FirmwareDriver.h"
#include "sim/VirtualHidBackend.h"

namespace {

using namespace kx520;

constexpr double kMsPerPacket = 2.0;
constexpr double kEndWaitMs = 10.0;

template <typename Core>
struct Rig {
    static constexpr bool kMouse = std::is_same_v<Core, MouseCore>;

    explicit Rig(const char* product) : name(product) {
        folder = std::filesystem::temp_directory_path() / ("kx520-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        backend.AddFault(product, {sim::SimFault::UsbTiming, sim::FaultSpec::kEvery});
        backend.Plug(product);
        connected = ctl::ConnectProduct(core.Channel(), backend, product, nullptr) ==
                    ctl::ConnectResult::Connected;
        const std::string shipped = std::string(KX520_DATA_DIR) + "/DefaultData/";
        core.SetKindNumber(kMouse ? 2 : 1);
        core.SetFolders(folder.string() + "/", shipped);
        core.ProfileData().SetProfilePath(folder.string() + "/p.Json");
        core.ProfileData().SetFallbackPath(shipped + (kMouse ? "mouse.Json" : "keyboard.Json"));
        core.LoadDefaults();
    }
    ~Rig() { std::filesystem::remove_all(folder); }
    uint32_t Requests() { return backend.Firmware(name)->Firmware().Requests(); }

    std::string name;
    std::filesystem::path folder;
    sim::VirtualHidBackend backend;
    Core core{backend};
    bool connected = false;
};

void Report(benchmark::State& state, double totalMs, uint32_t packets, int ends) {
    const double perRun = totalMs / static_cast<double>(state.iterations());
    const double packetsPerRun = static_cast<double>(packets) / static_cast<double>(state.iterations());
    const double bound = kMsPerPacket * packetsPerRun + kEndWaitMs * ends;
    state.counters["ms"] = perRun;
    state.counters["packets"] = packetsPerRun;
    state.counters["bus_bound_ms"] = bound;
    state.counters["ratio_to_bound"] = perRun / bound;
}

void StateRead(benchmark::State& state, const char* product) {
    Rig<KeyboardCore> rig(product);
    if (!rig.connected) {
        state.SkipWithError("no virtual keyboard");
        return;
    }
    const uint32_t before = rig.Requests();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        bool changed = false;
        if (!rig.core.ReadDeviceState() || !rig.core.ReadLightRecord(changed)) {
            state.SkipWithError("the read failed");
            return;
        }
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    Report(state, ms, rig.Requests() - before, 1);
}

void WriteMacro(const std::filesystem::path& file, int events) {
    std::ofstream out(file);
    out << R"({"Events": [)";
    for (int i = 0; i < events; ++i) {
        out << (i ? "," : "") << R"({"Action": "down", "Type": 1, "Button": 4, "Delay": "7"})";
    }
    out << "]}";
}

void KeysAndMacros(benchmark::State& state, const char* product) {
    Rig<KeyboardCore> rig(product);
    if (!rig.connected || !rig.core.ReadDeviceState()) {
        state.SkipWithError("no virtual keyboard");
        return;
    }
    std::ofstream(rig.folder / "macro.config")
        << R"({"MacroInfo": [{"MacroName": "a", "Guid": "a"}, {"MacroName": "b", "Guid": "b"}]})";
    WriteMacro(rig.folder / "a.mac", 10);
    WriteMacro(rig.folder / "b.mac", 20);
    std::vector<profiles::KeyAssignmentEntry> list;
    for (size_t i = 0; i < kPageKeyDefaults.size(); ++i) {
        const KeyCode& code = kPageKeyDefaults[i];
        const profiles::KeyAction action{static_cast<uint16_t>(i), code.type, code.param1, code.param2};
        list.push_back({action, action});
    }
    list[64].assignment = {64, 0x70, 0, 0};
    list[65].assignment = {65, 0x70, 1, 0};
    const uint32_t before = rig.Requests();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const auto result = rig.core.WriteAssignments(list);
        if (result.macros != 0 || result.keys != protocol::kResultSuccess) {
            state.SkipWithError("the write failed");
            return;
        }
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    Report(state, ms, rig.Requests() - before, 2);
}

void BM_Keyboard_StateRead_Cable(benchmark::State& state) { StateRead(state, "keyboard"); }
void BM_Keyboard_StateRead_Receiver(benchmark::State& state) { StateRead(state, "keyboard-receiver"); }
void BM_Keyboard_KeysAndMacros_Cable(benchmark::State& state) { KeysAndMacros(state, "keyboard"); }
void BM_Keyboard_KeysAndMacros_Receiver(benchmark::State& state) {
    KeysAndMacros(state, "keyboard-receiver");
}
BENCHMARK(BM_Keyboard_StateRead_Cable)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Keyboard_StateRead_Receiver)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Keyboard_KeysAndMacros_Cable)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Keyboard_KeysAndMacros_Receiver)->Unit(benchmark::kMillisecond)->Iterations(10);

// The mouse's start-up read (info block and key table) and its current
// profile's record, as a connection reads them.
void MouseStartUp(benchmark::State& state, const char* product) {
    Rig<MouseCore> rig(product);
    if (!rig.connected) {
        state.SkipWithError("no virtual mouse");
        return;
    }
    const uint32_t before = rig.Requests();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (!rig.core.ReadDeviceState() || !rig.core.ReadConfigRecord()) {
            state.SkipWithError("the read failed");
            return;
        }
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    Report(state, ms, rig.Requests() - before, 1);
}

// One configuration record (66 bytes) written from the profile.
void MouseRecordWrite(benchmark::State& state, const char* product) {
    Rig<MouseCore> rig(product);
    if (!rig.connected || !rig.core.ReadDeviceState()) {
        state.SkipWithError("no virtual mouse");
        return;
    }
    rig.core.Profile().LoadSection(std::string(KX520_DATA_DIR) + "/DefaultData/mouse.Json");
    rig.core.Profile().GetDPIStages();
    const uint32_t before = rig.Requests();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (rig.core.WriteLightConfig(0) != protocol::kResultSuccess) {
            state.SkipWithError("the write failed");
            return;
        }
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    Report(state, ms, rig.Requests() - before, 1);
}

void BM_Mouse_StartUp_Cable(benchmark::State& state) { MouseStartUp(state, "mouse"); }
void BM_Mouse_StartUp_Receiver(benchmark::State& state) { MouseStartUp(state, "mouse-receiver"); }
void BM_Mouse_RecordWrite_Cable(benchmark::State& state) { MouseRecordWrite(state, "mouse"); }
void BM_Mouse_RecordWrite_Receiver(benchmark::State& state) { MouseRecordWrite(state, "mouse-receiver"); }
BENCHMARK(BM_Mouse_StartUp_Cable)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Mouse_StartUp_Receiver)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Mouse_RecordWrite_Cable)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Mouse_RecordWrite_Receiver)->Unit(benchmark::kMillisecond)->Iterations(10);

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The light thread animating the wave for three seconds while the rest of
// the process sleeps: its share of one core (the target is under 1 %).
void BM_Keyboard_LightThreadCpu(benchmark::State& state) {
    Rig<KeyboardCore> rig("keyboard");
    if (!rig.connected) {
        state.SkipWithError("no virtual keyboard");
        return;
    }
    rig.core.SetLedCount(170);
    profiles::LightSetting wave;
    wave.mode = 1;
    wave.brightness = 4;
    wave.speed = 4;
    wave.multiColor = 1;
    rig.core.TakeLightSetting(wave);
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        rig.core.StartLight();
        const double cpuBefore = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        cpu += ProcessCpuSeconds() - cpuBefore;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        rig.core.StopLightThread();
    }
    state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
    state.counters["bound_percent"] = 1.0;
    state.counters["ratio_to_bound"] = (100.0 * cpu / wall) / 1.0;
}
BENCHMARK(BM_Keyboard_LightThreadCpu)->Unit(benchmark::kMillisecond)->Iterations(1);

// The app colour (mode 30): the page's frame to the keyboard on every 5 ms
// poll tick for a second, at the bus's pace. A frame is 126 keys x 3 bytes
// in 7 packets of 56, each a 1 ms report out and a 1 ms reply in.
void BM_Keyboard_HostFramesDelivered(benchmark::State& state) {
    Rig<KeyboardCore> rig("keyboard");
    if (!rig.connected || !rig.core.ReadDeviceState()) {
        state.SkipWithError("no virtual keyboard");
        return;
    }
    rig.core.SetLedCount(170);
    profiles::LightSetting host;
    host.mode = 30;
    host.brightness = 4;
    rig.core.TakeLightSetting(host);
    rig.core.SetHostValues({255, 80, 0, 0, 0, 0});
    const uint64_t before = rig.core.Sender().SentFrames();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < std::chrono::seconds(1)) {
            rig.core.LightPass(static_cast<uint32_t>(
                std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count()));
            rig.core.SendFrame(rig.core.FrameCopy());
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double perSecond = static_cast<double>(rig.core.Sender().SentFrames() - before) / seconds;
    const double bound = 1000.0 / (7 * kMsPerPacket);
    state.counters["frames_per_s"] = perSecond;
    state.counters["bus_bound_per_s"] = bound;
    state.counters["ratio_to_bound"] = perSecond / bound;
    state.counters["dropped"] = static_cast<double>(rig.core.Sender().DroppedFrames());
}
BENCHMARK(BM_Keyboard_HostFramesDelivered)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
