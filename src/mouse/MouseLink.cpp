#include "mouse/MouseLink.h"

#include "platform/DebugTrace.h"
#include "protocol/CommandSet.h"

namespace kx520 {

using namespace protocol;

bool MouseLink::Awake(CommandChannel& channel) {
    return !channel.ReceiverMode() ||
           CMD_RECEIVER_PROBE(channel, std::chrono::steady_clock::now() + kUiProbeWait);
}

int MouseLink::Write(CommandChannel& channel, const std::function<int()>& command) {
    if (!channel.IsOpen() || !Awake(channel)) {
        return 0;
    }
    int result = CMD_BEGIN(channel);
    if (result == kResultSuccess) {
        if (!Awake(channel)) {
            return 0;
        }
        result = command();
    }
    if (!Awake(channel)) {
        return 0;
    }
    const int end = CMD_END(channel);
    return result == kResultSuccess ? end : result;
}

std::optional<MouseLink::Record> MouseLink::ReadRecord(CommandChannel& channel) {
    if (!channel.IsOpen() || !Awake(channel)) {
        return std::nullopt;
    }
    Record record;
    if (CMD_READ_CONFIG(channel, std::span<uint8_t>(&record.profile, 1), 0) != kResultSuccess) {
        return std::nullopt;
    }
    if (record.profile >= kMaxProfiles) {
        DebugTrace("mouse names onboard profile " + std::to_string(record.profile) + "; ignored");
        return std::nullopt;
    }
    const auto base = static_cast<uint16_t>(MouseConfigRecord::kStride * record.profile);
    if (CMD_READ_CONFIG(channel, record.bytes, base) != kResultSuccess) {
        return std::nullopt;
    }
    record.bytes[0] = record.profile;
    return record;
}

}  // namespace kx520
