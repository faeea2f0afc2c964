#include "fuzz/FuzzTargets.h"

#include <algorithm>
#include <array>
#include <deque>
#include <memory>

#include "catalog/DeviceCatalog.h"
#include "fuzz/DescriptorGrammar.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/ScriptedHid.h"
#include "hid/DevicePath.h"
#include "hid/HidCollection.h"
#include "hid/HidDevice.h"
#include "hid/HidReportDescriptor.h"
#include "hid/HidrawBackend.h"
#include "kx520ctl/StateCommand.h"
#include "platform/CommandLine.h"
#include "platform/SafeJson.h"
#include "profiles/MacroImage.h"
#include "profiles/MacroStore.h"
#include "profiles/ProfileFuzzTarget.h"
#include "protocol/CommandChannel.h"
#include "protocol/CommandSet.h"
#include "sim/SimControl.h"
#include "sim/SimFault.h"
#include "online/UpdateService.h"
#include "sim/SimulateOption.h"
#include "sim/VirtualFirmware.h"
#include "sim/VirtualHidBackend.h"
#include "sim/VirtualProducts.h"
#include "support/HostileDescriptors.h"

namespace kx520::fuzz {

namespace {

using hid::HidReportType;

std::vector<uint8_t> Report(FuzzInput& input, const hid::HidCollection& collection,
                            HidReportType type) {
    std::vector<uint8_t> report = input.Bytes(input.Below(80));
    // Mostly a report id the collection owns, so the decoder goes past the id check.
    const auto& ids = collection.ReportIds(type);
    if (!report.empty() && !ids.empty() && input.Byte() < 200) {
        report[0] = ids[input.Below(static_cast<uint32_t>(ids.size()))];
    }
    return report;
}

void DecodeWithCollection(FuzzInput& input, const hid::HidCollection& collection) {
    constexpr std::array<HidReportType, 3> kTypes{HidReportType::Input, HidReportType::Output,
                                                  HidReportType::Feature};
    for (int round = 0; round < 4 && !input.Empty(); ++round) {
        const HidReportType type = kTypes[input.Below(3)];
        const std::vector<uint8_t> report = Report(input, collection, type);
        for (const hid::HidButtonCaps& caps : collection.ButtonCaps(type)) {
            std::vector<uint16_t> list(
                std::min<uint32_t>(collection.MaxUsageListLength(type, caps.usagePage), 4096));
            uint32_t count = static_cast<uint32_t>(list.size());
            collection.GetUsages(type, caps.usagePage, list, count, report);
        }
        size_t values = 0;
        for (const hid::HidValueCaps& caps : collection.ValueCaps(type)) {
            for (uint32_t usage = caps.usageMin; usage <= caps.usageMax && values < 256;
                 ++usage, ++values) {
                uint32_t raw = 0;
                int32_t scaled = 0;
                collection.GetUsageValue(type, caps.usagePage, static_cast<uint16_t>(usage), raw,
                                         report);
                collection.GetScaledUsageValue(type, caps.usagePage, static_cast<uint16_t>(usage),
                                               scaled, report);
            }
        }
    }
}

// Through HidDevice as the application opens an interface: its decode
// tables, every report parse and the notification code.
void DecodeWithDevice(FuzzInput& input,
                      const std::shared_ptr<const hid::HidReportDescriptor>& descriptor,
                      size_t collection) {
    ScriptedBackend backend(descriptor, collection);
    hid::HidDevice device(backend);
    if (!device.Open("scripted", true, true, true, false)) {
        return;
    }
    for (int round = 0; round < 4 && !input.Empty(); ++round) {
        const std::vector<uint8_t> report =
            Report(input, descriptor->Collections()[collection], HidReportType::Input);
        device.ParseInputReport(report.data(), report.size());
        device.ParseNotificationCode(report.data(), report.size());
    }
}

void DecodeAll(FuzzInput& input, std::vector<uint8_t> bytes) {
    hid::HidReportDescriptor::CountTopLevelCollections(bytes);
    auto parsed = hid::HidReportDescriptor::Parse(bytes);
    if (!parsed) {
        return;
    }
    const auto descriptor = std::make_shared<const hid::HidReportDescriptor>(std::move(*parsed));
    for (size_t c = 0; c < descriptor->Collections().size() && c < 8; ++c) {
        DecodeWithCollection(input, descriptor->Collections()[c]);
        DecodeWithDevice(input, descriptor, c);
        descriptor->CollectionOfInputReport(input.Byte());
        descriptor->CollectionIndex(input.Word());
    }
}

std::vector<uint8_t> RawDescriptorInput(const std::vector<uint8_t>& descriptor) {
    std::vector<uint8_t> input;
    input.reserve(3 + descriptor.size() + 64);
    input.push_back(0x80);
    input.push_back(static_cast<uint8_t>(descriptor.size()));
    input.push_back(static_cast<uint8_t>(descriptor.size() >> 8));
    input.insert(input.end(), descriptor.begin(), descriptor.end());
    // A few reports to decode with it.
    for (int i = 0; i < 64; ++i) {
        input.push_back(static_cast<uint8_t>(i * 37 + 11));
    }
    return input;
}

std::vector<std::vector<uint8_t>> DescriptorSeeds() {
    std::vector<std::vector<uint8_t>> seeds;
    for (const sim::VirtualProductSpec& product : sim::VirtualProducts()) {
        for (const sim::VirtualInterfaceSpec& interface : product.interfaces) {
            seeds.push_back(RawDescriptorInput(interface.descriptor));
        }
    }
    // Known-hostile shapes: quadratic usage lists, full 32-bit ranges.
    seeds.push_back(RawDescriptorInput(test::QuadraticUsageListDescriptor(150, 12288)));
    seeds.push_back(RawDescriptorInput(test::QuadraticUsageListDescriptor(900, 12288, 3)));
    seeds.push_back(RawDescriptorInput({0x05, 0x01, 0x09, 0x30, 0xA1, 0x01, 0x85, 0x01, 0x17,
                                        0x00, 0x00, 0x00, 0x80, 0x27, 0xFF, 0xFF, 0xFF, 0x7F,
                                        0x37, 0x00, 0x00, 0x00, 0x80, 0x47, 0xFF, 0xFF, 0xFF,
                                        0x7F, 0x75, 0x20, 0x95, 0x01, 0x09, 0x30, 0x81, 0x02,
                                        0x09, 0x31, 0x81, 0x00, 0xC0}));
    seeds.push_back({0x00, 0x40, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    return seeds;
}

std::vector<std::string> Arguments(FuzzInput& input) {
    std::vector<std::string> args;
    std::string current;
    for (uint8_t byte : input.Rest()) {
        if (byte == 0) {
            args.push_back(current);
            current.clear();
            if (args.size() >= 64) {
                break;
            }
            continue;
        }
        current += static_cast<char>(byte);
    }
    if (!current.empty() || args.empty()) {
        args.push_back(current);
    }
    return args;
}

std::vector<uint8_t> Joined(std::initializer_list<std::string_view> args) {
    std::vector<uint8_t> bytes;
    for (std::string_view arg : args) {
        bytes.insert(bytes.end(), arg.begin(), arg.end());
        bytes.push_back(0);
    }
    if (!bytes.empty()) {
        bytes.pop_back();
    }
    return bytes;
}

std::vector<uint8_t> Text(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

const std::shared_ptr<const hid::HidReportDescriptor>& KeyboardCommandDescriptor() {
    static const auto descriptor = [] {
        for (const auto& interface : sim::FindVirtualProduct("keyboard")->interfaces) {
            if (interface.number == 1) {
                return std::make_shared<const hid::HidReportDescriptor>(
                    *hid::HidReportDescriptor::Parse(interface.descriptor));
            }
        }
        return std::shared_ptr<const hid::HidReportDescriptor>();
    }();
    return descriptor;
}

std::deque<ScriptedReply> Replies(FuzzInput& input) {
    std::deque<ScriptedReply> replies;
    while (!input.Empty() && replies.size() < 200) {
        ScriptedReply reply;
        const uint8_t kind = input.Byte();
        reply.kind = kind < 160 ? ScriptedReply::Kind::Echo
                                : (kind < 240 ? ScriptedReply::Kind::Raw
                                              : ScriptedReply::Kind::Silence);
        reply.bytes = input.Bytes(reply.kind == ScriptedReply::Kind::Raw ? input.Below(72)
                                                                          : input.Below(58));
        replies.push_back(std::move(reply));
    }
    return replies;
}

void RunCommand(protocol::CommandChannel& channel, uint8_t choice, FuzzInput& input) {
    std::vector<uint8_t> buffer(protocol::CommandChannel::kMaxBlockLimit);
    switch (choice % 10) {
        case 0: protocol::CMD_BEGIN(channel); break;
        case 1: protocol::CMD_BEGIN(channel); break;  // (CMD_END only waits 10 ms more)
        case 2: protocol::CMD_READ_INFO(channel, std::span<uint8_t>(buffer).first(input.Below(80))); break;
        case 3: protocol::CMD_READ_KEYS(channel, buffer); break;
        case 4: protocol::CMD_READ_KEY_EXTRA(channel, buffer); break;
        case 5: protocol::CMD_READ_STATUS(channel, std::span<uint8_t>(buffer).first(input.Below(80)), input.Word()); break;
        case 6: protocol::CMD_READ_CONFIG(channel, std::span<uint8_t>(buffer).first(input.Below(513)), input.Word()); break;
        case 7: protocol::CMD_RECEIVER_PROBE(channel); break;
        case 8: protocol::CMD_HOST_LIGHT(channel); break;
        default: {
            const std::vector<uint8_t> frame(input.Below(520), 0x7F);
            protocol::CMD_STREAM_LIGHT(channel, frame);
            break;
        }
    }
}

}  // namespace

int FuzzHidDescriptor(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const bool raw = input.Byte() >= 0x80;
    const size_t length = input.Word();
    const std::vector<uint8_t> part = input.Bytes(std::min<size_t>(length, 8192));
    FuzzInput choices(part.data(), part.size());
    DecodeAll(input, raw ? part : GenerateDescriptor(choices));
    return 0;
}

int FuzzSysfsText(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    hid::HidrawBackend::ParseHidId(text);
    hid::PathVendorId(text);
    hid::PathProductId(text);
    hid::PathInterfaceNumber(text);
    hid::PathCollectionNumber(text);
    hid::PathNode(text);
    hid::PathInstance(text);
    return 0;
}

int FuzzCommandReplies(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const int mode = static_cast<int>(input.Below(3));
    const uint32_t blockLimit = input.Word() % 600;
    const std::vector<uint8_t> commands = input.Bytes(input.Below(12));
    const uint8_t stateClass = input.Byte();
    ScriptedBackend backend(KeyboardCommandDescriptor(), 3, Replies(input));
    protocol::CommandChannel channel(backend);
    const auto link = mode == 2 ? protocol::CommandChannel::Link::Second
                                : protocol::CommandChannel::Link::First;
    if (!channel.OpenLink(link, "scripted")) {
        return 0;
    }
    channel.SetMode(mode);
    channel.SetBlockLimit(blockLimit);
    channel.SetOpen(true);
    FuzzInput arguments(commands.data(), commands.size());
    for (uint8_t choice : commands) {
        RunCommand(channel, choice, arguments);
    }
    static constexpr uint16_t kClasses[] = {1, 2, 3, 6, 7, 9};
    const ctl::DeviceState state =
        ctl::ReadDeviceState(channel, kClasses[stateClass % std::size(kClasses)]);
    ctl::FormatStateJson(state);
    ctl::FormatStateText(state);
    return 0;
}

int FuzzDeviceReports(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    static const auto interfaces = [] {
        std::vector<std::shared_ptr<const hid::HidReportDescriptor>> parsed;
        for (const sim::VirtualProductSpec& product : sim::VirtualProducts()) {
            for (const sim::VirtualInterfaceSpec& interface : product.interfaces) {
                parsed.push_back(std::make_shared<const hid::HidReportDescriptor>(
                    *hid::HidReportDescriptor::Parse(interface.descriptor)));
            }
        }
        return parsed;
    }();
    const auto& descriptor = interfaces[input.Below(static_cast<uint32_t>(interfaces.size()))];
    const size_t collection = input.Below(static_cast<uint32_t>(descriptor->Collections().size()));
    DecodeWithDevice(input, descriptor, collection);
    return 0;
}

int FuzzCommandLine(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const bool control = input.Flag();
    const std::vector<std::string> args = Arguments(input);
    CommandLine commandLine;
    commandLine.AddOption("simulate", CommandLine::Kind::OptionalValue);
    commandLine.AddOption("help", CommandLine::Kind::Flag);
    if (control) {
        commandLine.AddOption("json", CommandLine::Kind::Flag);
        commandLine.AddOption("output", CommandLine::Kind::Value);
        commandLine.AddOption("profile", CommandLine::Kind::Value);
    } else {
        commandLine.AddOption("screenshot", CommandLine::Kind::Value);
        commandLine.AddOption("exit-after", CommandLine::Kind::Value);
    }
    if (!commandLine.Parse(args)) {
        return 0;
    }
    std::string error;
    sim::SimulatedProducts(commandLine, &error);
    if (const auto products = commandLine.Value("simulate")) {
        sim::ParseSimulateList(*products, &error);
    }
    for (const std::string& positional : commandLine.Positionals()) {
        DeviceClassFromName(positional);
    }
    return 0;
}

int FuzzSimControl(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const bool command = input.Flag();
    if (!command) {
        std::string error;
        sim::ParseSimFaults(input.Text(4096), &error);
        return 0;
    }
    sim::VirtualHidBackend backend;
    backend.Plug(sim::kVirtualProductNames[input.Below(sim::kVirtualProductNames.size())]);
    sim::RunSimCommand(backend, Arguments(input));
    return 0;
}

// An update service's reply: the first byte says whether the row is a
// device's (odd) and gives the installed version, the rest is the body.
int FuzzUpdateReply(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool hex = (data[0] & 1) != 0;
    const int32_t current = data[0] * 0x0101;
    const std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);
    online::UpdateRecord record;
    online::UpdateService::ReadReply(body, current, hex, record);
    // Nothing read grows past what came in, and the status is one the list knows.
    const size_t most = body.size() + 16;
    if (record.name.size() > most || record.newVersionText.size() > most || record.downloadPath.size() > most ||
        (record.status != 0 && record.status != 1 && record.status != 7)) {
        std::abort();
    }
    return 0;
}

// The keyboard's data from outside: macro images as the virtual keyboard
// receives them, macro events, keyboard models and kept flash (JSON).
int FuzzKeyboardData(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    switch (input.Below(4)) {
        case 0: {
            const std::vector<uint8_t> image = input.Bytes(input.Below(600));
            profiles::MacroImage::IsWellFormed(image);
            sim::VirtualFirmware keyboard(*sim::FindVirtualProduct("keyboard"));
            for (size_t at = 0; at < image.size(); at += protocol::kMaxData) {
                const size_t length = std::min(image.size() - at, protocol::kMaxData);
                keyboard.Handle(protocol::BuildRequest(
                    protocol::kCmdWriteMacros, static_cast<uint16_t>(at),
                    std::span<const uint8_t>(image).subspan(at, length)));
            }
            return 0;
        }
        case 1: {
            const auto root = json::Parse(input.Text(4096));
            const Json::Value events = root ? json::Member(*root, "Events") : Json::Value();
            for (const Json::Value& event : events.isArray() ? events : Json::Value(Json::arrayValue)) {
                profiles::MacroStore::ReadMacroEvent(event);
                profiles::MacroStore::ParseAction(event);
            }
            return 0;
        }
        default: {
            const bool model = input.Flag();
            const auto root = json::Parse(input.Text(8192));
            sim::VirtualFirmware keyboard(*sim::FindVirtualProduct("keyboard"));
            std::string error;
            if (root && model) {
                keyboard.ApplyModel(*root, &error);
            } else if (root) {
                keyboard.RestoreFlash(*root);
            }
            // Whatever was taken, the firmware still answers within its memory.
            keyboard.Handle(protocol::BuildReadRequest(protocol::kCmdReadKeys, 0, 56));
            return 0;
        }
    }
}

std::span<const FuzzTarget> CoreFuzzTargets() {
    static const FuzzTarget kTargets[] = {
        {"descriptor", FuzzHidDescriptor, DescriptorSeeds},
        {"sysfs", FuzzSysfsText,
         [] {
             return std::vector<std::vector<uint8_t>>{
                 Text("DRIVER=hid-generic\nHID_ID=0003:0000320F:000050C2\nHID_NAME=KX520\n"),
                 Text("HID_ID=0003:-1:FFFFFFFFFFFF\n"), Text("HID_ID=::\n"),
                 Text("/dev/hidraw3#vid_320f&pid_50c2&mi_01&col04#0003:320F:50C2.000A")};
         }},
        {"replies", FuzzCommandReplies,
         [] {
             std::vector<uint8_t> seed{0, 0x80, 0x01, 4, 0, 1, 2, 3, 1};
             for (int i = 0; i < 40; ++i) {
                 seed.push_back(0);  // echo with status 0
                 seed.push_back(1);
                 seed.push_back(0);
             }
             return std::vector<std::vector<uint8_t>>{seed};
         }},
        {"reports", FuzzDeviceReports,
         [] { return std::vector<std::vector<uint8_t>>{{0, 2, 3, 0x03, 0x01, 0x04, 0, 0}}; }},
        {"cmdline", FuzzCommandLine,
         [] {
             return std::vector<std::vector<uint8_t>>{
                 Joined({"\x01", "--simulate=keyboard,mouse", "state", "keyboard", "--json"}),
                 Joined({"\x00", "--simulate", "--screenshot", "a.png", "--exit-after=10"}),
                 Joined({"\x01", "--", "--simulate=", "--output"})};
         }},
        {"sim", FuzzSimControl,
         [] {
             return std::vector<std::vector<uint8_t>>{
                 Text("\x00keyboard:no-reply:3,mouse:usb-timing,headset:unplug:0"),
                 Joined({"\x01", "fault", "keyboard", "late-reply", "2"}),
                 Joined({"\x01", "notify", "keyboard", "0x401"})};
         }},
        {"profile", FuzzProfileInput, [] { return std::vector<std::vector<uint8_t>>{}; }},
        {"update", FuzzUpdateReply,
         [] {
             return std::vector<std::vector<uint8_t>>{
                 Text("\x01" R"({"name":"KB","version":"0106","path":"p","device_id":3})"),
                 Text("\x02" R"({"name":"KX520","version":"1001","version_name":"V1.0.0.1"})"),
                 Text("\x01" R"({"name":"KB","version":"ffffffffffffffff","device_id":1e300})"),
                 Text("\x01" + std::string(200, '[') + std::string(200, ']')),
                 Text("\x02{\"name\":\"\xff\xfe\xc0\x80\",\"version\":\"-2147483648\"}"),
                 Text("\x01{\"name\":\"" + std::string(60000, 'n') + "\",\"version\":\"0x10\"}")};
         }},
        {"keyboard", FuzzKeyboardData,
         [] {
             return std::vector<std::vector<uint8_t>>{
                 {0, 26, 0xAA, 0x55, 26, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 18, 0, 1, 0, 0, 0, 35, 0, 0x81, 4},
                 Text("\x01" R"({"Events": [{"Action": "down", "Type": 1, "Button": 4, "Delay": "70000"}]})"),
                 Text("\x02\x01" R"({"keys": [[32, 0, 4]], "leds": [3]})"),
                 Text("\x03\x00" R"({"keyCount": 126, "keys": "00", "config": "zz"})")};
         }},
    };
    return kTargets;
}

const FuzzTarget* FindFuzzTarget(const std::string& name) {
    for (const FuzzTarget& target : CoreFuzzTargets()) {
        if (name == target.name) {
            return &target;
        }
    }
    return nullptr;
}

}  // namespace kx520::fuzz
