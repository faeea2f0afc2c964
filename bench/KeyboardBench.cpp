// The keyboard's connection reads and its key-table plus macro write on the
// virtual keyboard at the bus's pace (one report per millisecond each way),
// against what the bus allows: 2 ms a packet, plus the 10 ms every CMD_END
// waits before it is sent.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "devices/KeyboardCore.h"
#include "devices/PageKeyDefaults.h"
#include "kx520ctl/ProductChannel.h"
#include "sim/FirmwareDriver.h"
#include "sim/VirtualHidBackend.h"

namespace {

using namespace kx520;

constexpr double kMsPerPacket = 2.0;
constexpr double kEndWaitMs = 10.0;

struct Rig {
    explicit Rig(const char* product) : name(product) {
        folder = std::filesystem::temp_directory_path() / ("kx520-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        backend.AddFault(product, {sim::SimFault::UsbTiming, sim::FaultSpec::kEvery});
        backend.Plug(product);
        connected = ctl::ConnectProduct(core.Channel(), backend, product, nullptr) ==
                    ctl::ConnectResult::Connected;
        core.SetFolders(folder.string() + "/", std::string(KX520_DATA_DIR) + "/DefaultData/");
        core.ProfileData().SetProfilePath(folder.string() + "/p.Json");
        core.ProfileData().SetFallbackPath(std::string(KX520_DATA_DIR) + "/DefaultData/keyboard.Json");
        core.LoadDefaults();
    }
    ~Rig() { std::filesystem::remove_all(folder); }
    uint32_t Requests() { return backend.Firmware(name)->Firmware().Requests(); }

    std::string name;
    std::filesystem::path folder;
    sim::VirtualHidBackend backend;
    KeyboardCore core{backend};
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
    Rig rig(product);
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
    Rig rig(product);
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

}  // namespace

BENCHMARK_MAIN();
