#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kx520::fuzz {

// What a device, the machine or another program controls, one entry point
// each: any bytes in, a normal return out. The same targets run bounded in
// every build (generated inputs) and under libFuzzer with AddressSanitizer
// and UndefinedBehaviorSanitizer where clang is installed.
struct FuzzTarget {
    const char* name;
    int (*run)(const uint8_t* data, size_t size);
    // Inputs to start from: real and known-hostile cases.
    std::vector<std::vector<uint8_t>> (*seeds)();
};

// A report descriptor (first byte below 0x80: built from the HID grammar
// by the rest; else the rest as raw bytes), then reports decoded with it.
int FuzzHidDescriptor(const uint8_t* data, size_t size);
// A HID device's uevent text and the paths made from sysfs names.
int FuzzSysfsText(const uint8_t* data, size_t size);
// Replies of a device to the command set, from a scripted interface.
int FuzzCommandReplies(const uint8_t* data, size_t size);
// Reports on every collection of every product, notifications included.
int FuzzDeviceReports(const uint8_t* data, size_t size);
// A command line of kx520 or kx520ctl (arguments split at NUL bytes).
int FuzzCommandLine(const uint8_t* data, size_t size);
// KX520_SIM_FAULTS text and the sim commands another program sends.
int FuzzSimControl(const uint8_t* data, size_t size);
// An update service's reply body, as the update check reads it.
int FuzzUpdateReply(const uint8_t* data, size_t size);
// Macro images, macro events, keyboard models and kept flash.
int FuzzKeyboardData(const uint8_t* data, size_t size);

std::span<const FuzzTarget> CoreFuzzTargets();
const FuzzTarget* FindFuzzTarget(const std::string& name);

}  // namespace kx520::fuzz
