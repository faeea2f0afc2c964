#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx520::sim {

// What a virtual device can be told to do wrong.
enum class SimFault {
    NoReply,     // the request is lost: no reply at all
    LateReply,   // the reply comes after the host has given up waiting
    StrayReply,  // one reply with another command id comes first
    StatusFF,    // the reply carries status 0xFF
    StatusFE,    // the reply carries status 0xFE
    Asleep,      // the receiver answers in place of its device (0xAA)
    Unplug,      // the product disappears after `count` requests
    UsbTiming,   // one report per millisecond each way, as on the bus
};

// A fault and how many requests it affects; kEvery: all of them.
struct FaultSpec {
    static constexpr int kEvery = -1;
    static constexpr int kMaxCount = 1000000;
    SimFault fault = SimFault::NoReply;
    int count = kEvery;
};

std::optional<SimFault> SimFaultFromName(std::string_view name);
const char* SimFaultName(SimFault fault);
// "no-reply, late-reply, ..." for usage messages.
std::string SimFaultList();

// "product:fault[:count],..." as KX520_SIM_FAULTS gives it. Nothing (and
// `error` set) for an unknown product or fault or a bad count.
std::optional<std::map<std::string, std::vector<FaultSpec>>> ParseSimFaults(
    std::string_view text, std::string* error);

}  // namespace kx520::sim
