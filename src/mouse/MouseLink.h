#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "mouse/MouseConfigRecord.h"
#include "protocol/CommandChannel.h"

namespace kx520 {

// How the host talks to the mouse on either link. Through its receiver the
// mouse may be asleep: every step of a write goes only after a probe says
// it is awake, and the write is abandoned at the first probe that does not.
class MouseLink {
public:
    // Records a configuration memory of 2048 bytes can hold.
    static constexpr int kMaxProfiles = 16;
    // True on the cable; through the receiver, when the mouse answers
    // that it is awake within protocol::kUiProbeWait.
    static bool Awake(protocol::CommandChannel& channel);

    // CMD_BEGIN, `command`, CMD_END, each on the receiver after a true
    // probe. 1 when written; 0 on a closed channel or a false probe (the
    // rest is not sent); else the first failing command's code.
    static int Write(protocol::CommandChannel& channel, const std::function<int()>& command);

    struct Record {
        uint8_t profile = 0;
        std::array<uint8_t, MouseConfigRecord::kReadSize> bytes{};  // byte 0 is the profile number
    };
    // The current profile's record (a probe first on the receiver); nothing
    // when the mouse cannot be asked or names a profile it cannot hold.
    static std::optional<Record> ReadRecord(protocol::CommandChannel& channel);
};

}  // namespace kx520
