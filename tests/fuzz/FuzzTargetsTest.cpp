// Every fuzz target over generated inputs: its seeds, mutations of them and
// random bytes, a bounded run in every build that fails on a crash, an abort
// or an exception. (Memory errors and undefined behaviour are what the
// sanitizer runs of the same targets catch, where clang is installed.)
#include <gtest/gtest.h>

#include <random>

#include "fuzz/FuzzTargets.h"

namespace kx520::fuzz {
namespace {

std::vector<uint8_t> Mutated(std::vector<uint8_t> input, std::mt19937& random) {
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < edits; ++i) {
        const size_t at = input.empty() ? 0 : random() % input.size();
        switch (random() % 4) {
            case 0:
                if (!input.empty()) {
                    input[at] = static_cast<uint8_t>(random());
                }
                break;
            case 1:
                input.insert(input.begin() + static_cast<std::ptrdiff_t>(at), static_cast<uint8_t>(random()));
                break;
            case 2:
                if (!input.empty()) {
                    input.erase(input.begin() + static_cast<std::ptrdiff_t>(at));
                }
                break;
            default:
                input.resize(at);
                break;
        }
    }
    return input;
}

std::vector<uint8_t> RandomBytes(std::mt19937& random, size_t most) {
    std::vector<uint8_t> bytes(random() % most);
    for (uint8_t& byte : bytes) {
        byte = static_cast<uint8_t>(random());
    }
    return bytes;
}

void RunBounded(const char* name, int rounds) {
    const FuzzTarget* target = FindFuzzTarget(name);
    ASSERT_NE(target, nullptr);
    std::mt19937 random(520);
    const auto seeds = target->seeds();
    for (const auto& seed : seeds) {
        target->run(seed.data(), seed.size());
    }
    for (int round = 0; round < rounds; ++round) {
        const std::vector<uint8_t> input = !seeds.empty() && round % 2 == 0
                                               ? Mutated(seeds[round / 2 % seeds.size()], random)
                                               : RandomBytes(random, 600);
        target->run(input.data(), input.size());
    }
}

TEST(FuzzTargets, ReportDescriptorsFromTheGrammarAndTheirReports) { RunBounded("descriptor", 3000); }
TEST(FuzzTargets, SysfsText) { RunBounded("sysfs", 3000); }
TEST(FuzzTargets, CommandReplies) { RunBounded("replies", 1000); }
TEST(FuzzTargets, DeviceReports) { RunBounded("reports", 3000); }
TEST(FuzzTargets, CommandLines) { RunBounded("cmdline", 3000); }
TEST(FuzzTargets, SimControl) { RunBounded("sim", 400); }
TEST(FuzzTargets, KeyboardData) { RunBounded("keyboard", 3000); }
TEST(FuzzTargets, UpdateReplies) { RunBounded("update", 3000); }

}  // namespace
}  // namespace kx520::fuzz
