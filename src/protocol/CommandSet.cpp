#include "protocol/CommandSet.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

#include "platform/DebugTrace.h"
#include "protocol/CommandPacket.h"

namespace kx520::protocol {

namespace {

enum class Lock { Command, Light, None };

// Offsets are 16 bits on the wire.
constexpr size_t kMaxAddress = 0x10000;

// Turns a reply status into the command's result.
int StatusResult(int exchange, const Packet& reply) {
    if (exchange != kResultSuccess) {
        return exchange;
    }
    if (reply[kStatusByte] == kStatusErrorFF) {
        return kResultStatusFF;
    }
    if (reply[kStatusByte] == kStatusErrorFE) {
        return kResultStatusFE;
    }
    return kResultSuccess;
}

class LockFor {
public:
    LockFor(CommandChannel& channel, Lock lock) {
        if (lock == Lock::Command) {
            m_lock = std::unique_lock(channel.CommandLock());
        } else if (lock == Lock::Light) {
            m_lock = std::unique_lock(channel.LightLock());
        }
    }

private:
    std::unique_lock<std::recursive_timed_mutex> m_lock;
};

int Simple(CommandChannel& channel, uint8_t command) {
    LockFor lock(channel, Lock::Command);
    const Packet request = BuildRequest(command, 0, {});
    Packet reply{};
    return StatusResult(
        channel.Exchange(request.data(), request.size(), reply.data(), reply.size(), nullptr),
        reply);
}

bool FitsAddress(size_t base, size_t total) {
    return base + total <= kMaxAddress;
}

int PagedRead(CommandChannel& channel, uint8_t command, std::span<uint8_t> destination,
              size_t total, uint16_t base) {
    if (destination.size() < total || !FitsAddress(base, total)) {
        return kResultUnsupported;
    }
    LockFor lock(channel, Lock::Command);
    const size_t chunk = channel.ChunkSize();
    for (size_t position = 0; position < total; position += chunk) {
        const auto length = static_cast<uint8_t>(std::min(chunk, total - position));
        const Packet request =
            BuildReadRequest(command, static_cast<uint16_t>(base + position), length);
        Packet reply{};
        const int result = StatusResult(
            channel.Exchange(request.data(), request.size(), reply.data(), reply.size(), nullptr),
            reply);
        if (result != kResultSuccess) {
            return result;
        }
        std::copy_n(reply.begin() + kDataByte, length, destination.begin() + position);
    }
    return kResultSuccess;
}

struct WritePlan {
    Lock lock = Lock::Command;
    size_t chunk = 0;  // 0: the channel's
    bool quietStream = false;
};

int PagedWrite(CommandChannel& channel, uint8_t command, std::span<const uint8_t> source,
               uint16_t base, WritePlan plan) {
    if (!FitsAddress(base, source.size())) {
        return kResultUnsupported;
    }
    LockFor lock(channel, plan.lock);
    const size_t chunk = plan.chunk != 0 ? plan.chunk : channel.ChunkSize();
    for (size_t position = 0; position < source.size(); position += chunk) {
        const size_t length = std::min(chunk, source.size() - position);
        if (plan.quietStream && channel.Busy()) {
            DebugTrace("放弃灯光数据");  // a configuration exchange is running
            continue;
        }
        const Packet request = BuildRequest(command, static_cast<uint16_t>(base + position),
                                            source.subspan(position, length));
        Packet reply{};
        const int exchange =
            plan.quietStream
                ? channel.ExchangeQuiet(request.data(), request.size(), reply.data(),
                                        reply.size(), nullptr)
                : channel.Exchange(request.data(), request.size(), reply.data(), reply.size(),
                                   nullptr);
        const int result = StatusResult(exchange, reply);
        if (result != kResultSuccess) {
            return result;
        }
    }
    return kResultSuccess;
}

}  // namespace

int Bracketed(CommandChannel& channel, const std::function<int()>& command) {
    if (!channel.IsOpen()) {
        return 0;
    }
    int result = CMD_BEGIN(channel);
    if (result == kResultSuccess) {
        result = command();
    }
    const int end = CMD_END(channel);
    return result == kResultSuccess ? end : result;
}

int CMD_BEGIN(CommandChannel& channel) {
    return Simple(channel, kCmdBegin);
}

int CMD_END(CommandChannel& channel) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return Simple(channel, kCmdEnd);
}

int CMD_READ_INFO(CommandChannel& channel, std::span<uint8_t> destination) {
    return PagedRead(channel, kCmdReadInfo, destination, kDeviceInfoSize, 0);
}

int CMD_READ_CONFIG(CommandChannel& channel, std::span<uint8_t> destination, uint16_t base) {
    return PagedRead(channel, kCmdReadConfig, destination, destination.size(), base);
}

int CMD_WRITE_CONFIG(CommandChannel& channel, std::span<const uint8_t> source, uint16_t base) {
    return PagedWrite(channel, kCmdWriteConfig, source, base, {});
}

int CMD_READ_KEYS(CommandChannel& channel, std::span<uint8_t> destination) {
    return PagedRead(channel, kCmdReadKeys, destination, channel.BlockLimit(), 0);
}

int CMD_WRITE_KEYS(CommandChannel& channel, std::span<const uint8_t> source, int bank) {
    const size_t total = channel.BlockLimit();
    if (bank != 0 || source.size() < total) {
        return kResultUnsupported;
    }
    return PagedWrite(channel, kCmdWriteKeys, source.first(total), 0, {});
}

int CMD_WRITE_KEY_COLOURS(CommandChannel& channel, std::span<const uint8_t> source, int bank,
                          int bankSize) {
    const long base = static_cast<long>(bank) * bankSize;
    if (bank < 0 || bankSize < 0 || base >= static_cast<long>(kMaxAddress)) {
        return kResultUnsupported;
    }
    return PagedWrite(channel, kCmdWriteKeyColours, source, static_cast<uint16_t>(base),
                      {Lock::Light, 0, false});
}

int CMD_STREAM_LIGHT(CommandChannel& channel, std::span<const uint8_t> source) {
    return PagedWrite(channel, kCmdStreamLight, source, 0, {Lock::Light, 0, true});
}

int CMD_WRITE_MACROS(CommandChannel& channel, std::span<const uint8_t> source) {
    return PagedWrite(channel, kCmdWriteMacros, source, 0, {});
}

int CMD_WRITE_SHOOT(CommandChannel& channel, std::span<const uint8_t> source) {
    return PagedWrite(channel, kCmdWriteShoot, source, 0, {Lock::None, kShootPacketSize, false});
}

int CMD_READ_STATUS(CommandChannel& channel, std::span<uint8_t> destination, uint16_t offset) {
    // One packet carries at most 56 bytes.
    const size_t length = std::min(destination.size(), kMaxData);
    LockFor lock(channel, Lock::Command);
    const Packet request = BuildReadRequest(kCmdReadStatus, offset, static_cast<uint8_t>(length));
    Packet reply{};
    const int result = StatusResult(
        channel.Exchange(request.data(), request.size(), reply.data(), reply.size(), nullptr),
        reply);
    if (result == kResultSuccess) {
        std::copy_n(reply.begin() + kDataByte, length, destination.begin());
    }
    return result;
}

int CMD_READ_KEY_EXTRA(CommandChannel& channel, std::span<uint8_t> destination) {
    return PagedRead(channel, kCmdReadKeyExtra, destination, channel.BlockLimit() / 3u, 0);
}

int CMD_HOST_LIGHT(CommandChannel& channel) {
    return Simple(channel, kCmdHostLight);
}

bool CMD_RECEIVER_PROBE(CommandChannel& channel) {
    return CMD_RECEIVER_PROBE(channel, std::chrono::steady_clock::now() +
                                           2 * std::chrono::milliseconds(
                                                   CommandChannel::kReceiverTimeoutMs));
}

bool CMD_RECEIVER_PROBE(CommandChannel& channel, std::chrono::steady_clock::time_point deadline) {
    if (!channel.ReceiverMode()) {
        return true;
    }
    // A command that holds the channel for long (a transfer through a
    // receiver that stopped answering) must not outlast the deadline either.
    std::unique_lock lock(channel.CommandLock(), deadline);
    if (!lock.owns_lock()) {
        return false;
    }
    const Packet request = BuildRequest(kCmdReceiverProbe, 0, {});
    Packet reply{};
    const int result = channel.ExchangeUntil(deadline, request.data(), request.size(),
                                             reply.data(), reply.size(), nullptr);
    return result == kResultSuccess && reply[kDataByte] == 0xFF &&
           reply[kStatusByte] != kStatusErrorFF && reply[kStatusByte] != kStatusErrorFE;
}

}  // namespace kx520::protocol
