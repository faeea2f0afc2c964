#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "headset/AudioSdk.h"

namespace kx520::test {

// A plug-in in the test's own process: properties as text, reads of an
// unknown one "never set", writes logged. One at a time (C entry points
// cannot carry an object).
struct FakeAudioPlugin {
    struct Write {
        std::string name;
        std::string value;
        friend bool operator==(const Write&, const Write&) = default;
    };

    std::vector<AudioEndpoint> outputs{{1, 1, 0, 1}};
    std::vector<AudioEndpoint> microphones{{2, 2, 0, 1}};
    std::map<std::string, std::string> values;
    // Properties answered with a code instead (a refusal, a timeout).
    std::map<std::string, int> answers;
    std::vector<Write> writes;
    int initResult = 0;
    // Properties written as floats (the scalar levels).
    std::set<std::string> floats{"VolumeScalarControl", "AAVolumeScalarControl"};

    // The entry points over this plug-in, which must outlive their use.
    AudioSdkEntries Entries();
    std::vector<std::string> WrittenNames() const;
    static FakeAudioPlugin* current;
};

}  // namespace kx520::test
