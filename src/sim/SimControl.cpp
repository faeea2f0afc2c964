#include "sim/SimControl.h"

#include <json/json.h>

#include <charconv>
#include <cstdio>

#include "sim/FirmwareDriver.h"
#include "sim/SimFault.h"
#include "sim/SimulateOption.h"
#include "sim/VirtualHidBackend.h"

namespace kx520::sim {

namespace {

constexpr const char* kUsage =
    "usage: plug PRODUCT | unplug PRODUCT | fault PRODUCT FAULT [COUNT] | notify PRODUCT [CODE] | "
    "battery PRODUCT PERCENT | profile PRODUCT NUMBER | reset PRODUCT";

bool ParseNumber(const std::string& text, long& value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* begin = text.data() + (hex ? 2 : 0);
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(begin, end, value, hex ? 16 : 10);
    return error == std::errc() && last == end && begin != end;
}

std::string CheckProduct(const std::string& product) {
    std::string error;
    const auto products = ParseSimulateList(product, &error);
    if (!products || products->size() != 1 || product == "all") {
        return error.empty() ? "name one product: " + VirtualProductList() : error;
    }
    return {};
}

}  // namespace

std::string RunSimCommand(VirtualHidBackend& backend, const std::vector<std::string>& args) {
    if (args.size() < 2) {
        return kUsage;
    }
    const std::string& verb = args[0];
    const std::string& product = args[1];
    if (std::string error = CheckProduct(product); !error.empty()) {
        return error;
    }
    if (verb == "plug" && args.size() == 2) {
        return backend.Plug(product) ? "" : product + " could not be plugged";
    }
    if (verb == "unplug" && args.size() == 2) {
        return backend.Unplug(product) ? "" : product + " is not plugged";
    }
    if (verb == "fault" && (args.size() == 3 || args.size() == 4)) {
        const auto fault = SimFaultFromName(args[2]);
        long count = FaultSpec::kEvery;
        if (!fault) {
            return "unknown fault " + args[2];
        }
        if (args.size() == 4 && (!ParseNumber(args[3], count) || count < 1 || count > FaultSpec::kMaxCount)) {
            return "bad count " + args[3];
        }
        // A fault belongs to a plugged device: one for a product that is not
        // there would strike a later, unrelated plug.
        return backend.AddFault(product, {*fault, static_cast<int>(count)}, true)
                   ? ""
                   : product + " is not plugged";
    }
    if (verb == "notify" && (args.size() == 2 || args.size() == 3)) {
        long code = 0x401;
        if (args.size() == 3 && (!ParseNumber(args[2], code) || code < 1 || code > kMaxNotificationCode)) {
            char highest[16];
            std::snprintf(highest, sizeof highest, "%#x", kMaxNotificationCode);
            return "bad code " + args[2] + " (a notification carries 1 to " + highest + ")";
        }
        const auto firmware = backend.Firmware(product);
        if (!firmware) {
            return product + " is not plugged";
        }
        return firmware->SendNotification(static_cast<uint16_t>(code))
                   ? ""
                   : product + " has no notification interface";
    }
    if (verb == "battery" && args.size() == 3) {
        long level = 0;
        if (!ParseNumber(args[2], level) || level < 0 || level > 100) {
            return "bad battery level " + args[2] + " (0 to 100)";
        }
        const auto firmware = backend.Firmware(product);
        if (!firmware) {
            return product + " is not plugged";
        }
        firmware->Firmware().SetBattery(static_cast<uint8_t>(level));
        return "";
    }
    if (verb == "profile" && args.size() == 3) {
        long profile = 0;
        if (!ParseNumber(args[2], profile) || profile < 0 || profile > VirtualFirmware::kHighestProfile) {
            return "bad profile " + args[2] + " (0 to " + std::to_string(VirtualFirmware::kHighestProfile) + ")";
        }
        const auto firmware = backend.Firmware(product);
        if (!firmware) {
            return product + " is not plugged";
        }
        firmware->SwitchProfile(static_cast<uint8_t>(profile));
        return "";
    }
    if (verb == "reset" && args.size() == 2) {
        return backend.ResetFlash(product) ? "" : "the kept state of " + product + " could not be removed";
    }
    return kUsage;
}

namespace {

Json::Value Bytes(const std::vector<uint8_t>& bytes) {
    Json::Value array(Json::arrayValue);
    for (const uint8_t byte : bytes) {
        array.append(byte);
    }
    return array;
}

std::string Colour(uint8_t red, uint8_t green, uint8_t blue) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", red, green, blue);
    return text;
}

}  // namespace

std::string VirtualStateJson(VirtualHidBackend& backend, const std::string& product, std::string& error) {
    if (error = CheckProduct(product); !error.empty()) {
        return {};
    }
    const auto firmware = backend.Firmware(product);
    if (!firmware) {
        error = product + " is not plugged";
        return {};
    }
    const VirtualFirmware::Lighting light = firmware->Firmware().LightState();
    Json::Value root(Json::objectValue);
    root["product"] = product;
    root["lightProfile"] = light.profile;
    root["lightRecord"] = Bytes(light.record);
    Json::Value decoded(Json::objectValue);
    decoded["hostDriven"] = light.hostDriven;
    decoded["mode"] = light.mode;
    decoded["brightness"] = light.brightness;
    decoded["speed"] = light.speed;
    decoded["direction"] = light.direction;
    decoded["multicolor"] = light.multiColor != 0;
    decoded["color"] = Colour(light.red, light.green, light.blue);
    root["light"] = decoded;
    root["keyColours"] = Bytes(light.keyColours);
    root["frame"] = light.frame.empty() ? Json::Value() : Bytes(light.frame);
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    return Json::writeString(writer, root) + "\n";
}

}  // namespace kx520::sim
