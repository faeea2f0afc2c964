// libFuzzer's entry points over the fuzz targets: KX520_FUZZ_TARGET names
// the target; KX520_FUZZ_SEEDS, when set, is a folder the target's seeds
// are written to first (pass it to the fuzzer as a corpus folder).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz/FuzzTargets.h"

namespace {

const kx520::fuzz::FuzzTarget* g_target = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* name = std::getenv("KX520_FUZZ_TARGET");
    g_target = kx520::fuzz::FindFuzzTarget(name != nullptr ? name : "");
    if (g_target == nullptr) {
        std::fprintf(stderr, "KX520_FUZZ_TARGET must name a target:");
        for (const auto& target : kx520::fuzz::CoreFuzzTargets()) {
            std::fprintf(stderr, " %s", target.name);
        }
        std::fprintf(stderr, "\n");
        std::exit(2);
    }
    if (const char* folder = std::getenv("KX520_FUZZ_SEEDS")) {
        int n = 0;
        for (const auto& seed : g_target->seeds()) {
            std::ofstream(std::string(folder) + "/seed-" + std::to_string(n++), std::ios::binary)
                .write(reinterpret_cast<const char*>(seed.data()),
                       static_cast<std::streamsize>(seed.size()));
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return g_target->run(data, size);
}
