#include "sim/SimFault.h"

#include <array>
#include <charconv>
#include <utility>

#include "sim/VirtualProducts.h"

namespace kx520::sim {

namespace {

constexpr std::array<std::pair<SimFault, std::string_view>, 8> kNames{{
    {SimFault::NoReply, "no-reply"},
    {SimFault::LateReply, "late-reply"},
    {SimFault::StrayReply, "stray-reply"},
    {SimFault::StatusFF, "status-ff"},
    {SimFault::StatusFE, "status-fe"},
    {SimFault::Asleep, "asleep"},
    {SimFault::Unplug, "unplug"},
    {SimFault::UsbTiming, "usb-timing"},
}};

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

}  // namespace

std::string SimFaultList() {
    std::string names;
    for (const auto& [fault, name] : kNames) {
        names += names.empty() ? "" : ", ";
        names += name;
    }
    return names;
}

std::optional<SimFault> SimFaultFromName(std::string_view name) {
    for (const auto& [fault, text] : kNames) {
        if (text == name) {
            return fault;
        }
    }
    return std::nullopt;
}

const char* SimFaultName(SimFault fault) {
    for (const auto& [value, text] : kNames) {
        if (value == fault) {
            return text.data();
        }
    }
    return "unknown";
}

std::optional<std::map<std::string, std::vector<FaultSpec>>> ParseSimFaults(
    std::string_view text, std::string* error) {
    std::map<std::string, std::vector<FaultSpec>> faults;
    auto fail = [error](std::string message) {
        if (error != nullptr) {
            *error = std::move(message);
        }
        return std::nullopt;
    };
    if (text.empty()) {
        return faults;
    }
    for (std::string_view item : Split(text, ',')) {
        const auto fields = Split(item, ':');
        if (fields.size() < 2 || fields.size() > 3) {
            return fail("bad fault '" + std::string(item) + "': use product:fault[:count]");
        }
        if (FindVirtualProduct(fields[0]) == nullptr) {
            return fail("unknown virtual device '" + std::string(fields[0]) + "'");
        }
        const auto fault = SimFaultFromName(fields[1]);
        if (!fault) {
            return fail("unknown fault '" + std::string(fields[1]) + "'; valid faults: " +
                        SimFaultList());
        }
        FaultSpec spec{*fault, FaultSpec::kEvery};
        if (fields.size() == 3) {
            int count = 0;
            const auto [end, code] =
                std::from_chars(fields[2].data(), fields[2].data() + fields[2].size(), count);
            // The same rule as kx520ctl sim fault: 1 to kMaxCount requests
            // ("unplug" without a count goes at the first request).
            if (code != std::errc() || end != fields[2].data() + fields[2].size() || count < 1 ||
                count > FaultSpec::kMaxCount) {
                return fail("bad count '" + std::string(fields[2]) + "' in '" + std::string(item) +
                            "'");
            }
            spec.count = count;
        }
        faults[std::string(fields[0])].push_back(spec);
    }
    return faults;
}

}  // namespace kx520::sim
