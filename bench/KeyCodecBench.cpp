// The key page's encoder and decoder over all 126 keys of the keyboard,
// against the 16 ms of one UI frame.
#include <benchmark/benchmark.h>

#include "keycodes/KeyAssignmentCodec.h"
#include "catalog/PageKeyDefaults.h"

namespace {

using namespace kx520;

void BM_DecodeAndEncode126Keys(benchmark::State& state) {
    std::vector<profiles::KeyAssignmentEntry> keys;
    for (size_t i = 0; i < kPageKeyDefaults.size(); ++i) {
        const KeyCode& code = kPageKeyDefaults[i];
        const profiles::KeyAction own{static_cast<uint16_t>(i), code.type, code.param1, code.param2};
        // A mix of kinds: keys with modifiers, media, macros and wheels.
        const profiles::KeyAction kinds[] = {{own.keyIndex, 0x20, 0x02, 0x05},
                                             {own.keyIndex, 0x30, 0xCD, 0x00},
                                             {own.keyIndex, 0x71, 1, 3},
                                             {own.keyIndex, 0x12, 0x01, 0xFD}};
        keys.push_back({kinds[i % 4], own});
    }
    for (auto _ : state) {
        for (const auto& record : keys) {
            KeyForm form;
            profiles::KeyAction kept = record.assignment;
            KeyAssignmentCodec::Decode(record.assignment, record.defaultAssignment, 3, form, kept);
            benchmark::DoNotOptimize(KeyAssignmentCodec::Encode(form, kept, record, 3));
        }
    }
    state.counters["keys"] = static_cast<double>(keys.size());
}
BENCHMARK(BM_DecodeAndEncode126Keys)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
