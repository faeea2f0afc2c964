// Generated mutations of real profiles through the fuzz target: a bounded
// run in every build (libFuzzer runs the same target where clang has it).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "ProfileFuzzTarget.h"
#include "ProfileTestFiles.h"

namespace {

std::string Mutate(std::string text, std::mt19937& random) {
    static const std::string tokens[] = {"{", "}", "[", "]", "\"", ",", ":", "null", "true",
                                         "-1", "1e400", "4294967296", "\"x\"", "[[[[", "\\u0000",
                                         "\"Device\"", "\"KeyList\"", "\"LightList\"", "{}"};
    std::uniform_int_distribution<int> kind(0, 4);
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < edits && !text.empty(); ++i) {
        const size_t at = random() % text.size();
        switch (kind(random)) {
            case 0:
                text[at] = static_cast<char>(random());
                break;
            case 1:
                text.erase(at, 1 + random() % 8);
                break;
            case 2:
                text.insert(at, tokens[random() % std::size(tokens)]);
                break;
            case 3:
                text.resize(at);  // cut off as by a crash
                break;
            default:
                text.insert(at, text.substr(random() % text.size(), random() % 32));
                break;
        }
    }
    return text;
}

TEST(ProfileFuzz, MutatedProfilesNeverCrashTheReaders) {
    std::mt19937 random(7);
    const std::string seeds[] = {
        kx520::test::TemplateText(),
        R"({"profilelist": [{"profilename": "a", "profileUUID": "b"}], "profileselect": 0})",
        R"({"LightInfo": [[{"Guid": "x"}]], "LEDEffectList": [{"Time": 1}]})",
    };
    for (int round = 0; round < 1500; ++round) {
        const std::string input = Mutate(seeds[round % std::size(seeds)], random);
        FuzzProfileInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    }
}

}  // namespace
