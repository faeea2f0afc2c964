// kx520ctl: scripting and diagnostics for the KX520 devices.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <fstream>
#include <iostream>
#include <string>

#include "catalog/DeviceCatalog.h"
#include "discovery/UdevRule.h"
#include "hid/HidBackend.h"
#include <QCoreApplication>

#include "kx520ctl/AppClient.h"
#include "kx520ctl/UiClient.h"
#include "kx520ctl/ListCommand.h"
#include "kx520ctl/ProductChannel.h"
#include "kx520ctl/ProfileCommand.h"
#include "kx520ctl/StateCommand.h"
#include "platform/CommandLine.h"
#include "platform/DeviceLock.h"
#include "platform/ProgramText.h"
#include "protocol/CommandChannel.h"
#include "sim/MachineBackends.h"
#include "sim/SimulateOption.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage: kx520ctl [--simulate[=LIST]] COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  list [--json]              the supported interfaces present, with their slots\n"
    "  state PRODUCT [--json]     read a device's state as the application does at\n"
    "                             connection (info block, key tables or status)\n"
    "  udev-rules [--output FILE] the udev rule that gives the logged-in user access\n"
    "  profile list KIND [--json] the profiles of a device kind (keyboard, mouse,\n"
    "                             mousepad, headset); * marks the selected one\n"
    "  profile show KIND [--profile NAME] [--json]\n"
    "                             a profile's sections, or its whole file with --json\n"
    "  profile export KIND FILE [--profile NAME]\n"
    "                             write a profile to FILE (a backup)\n"
    "  profile import KIND FILE   add a profile from FILE (not while kx520 runs)\n"
    "\n"
    "Commands for the running application (session bus):\n"
    "  status [--json]            its window and devices\n"
    "  keyboard show [--json]     what it holds for the keyboard: link, profiles,\n"
    "                             the 126 keys, light setting and options\n"
    "  keyboard assign POS FUNCTION [ARGS]\n"
    "                             give page key POS (0-125) a function, as the key page\n"
    "                             does: key B [--modifier shift], media play, macro 2\n"
    "                             [--repeat 3], system sleep, shortcut copy, default, ...\n"
    "  keyboard save              write the keys (and their macros) to the keyboard\n"
    "  keyboard options [--repeat-rate 0-31] [--repeat-delay 250|500|750|1000]\n"
    "                   [--polling 0-3] [--six-key on|off] [--win on|off] [--win-lock on|off]\n"
    "                             the keyboard's system options, as its System tab sets\n"
    "                             them (repeat goes to the desktop's keyboard settings)\n"
    "  mouse show [--json]        what it holds for the mouse: link, stages, scale\n"
    "  mouse dpi set STAGE VALUE [--y VALUE] [--color #RRGGBB] [--enabled on|off]\n"
    "                             change a sensitivity stage (0-4), as the page does\n"
    "  mouse dpi active STAGE     make a stage the one in use\n"
    "  mouse rate N               the report rate option (0-4), kept in record byte 11\n"
    "  mouse assign POS FUNCTION [ARGS]\n"
    "                             give button POS (0-10) a function: as the keyboard's,\n"
    "                             and dpi up|down|cycle, gun 1-4\n"
    "  mouse save                 write the buttons (and their macros) to the mouse\n"
    "  mouse shoot write          write the four recoil patterns (guns) to the mouse\n"
    "  mouse recoil list | show GUN | set GUN BULLET [--x N] [--y N] [--delay MS] |\n"
    "               reset GUN | import GUN FILE | export GUN FILE\n"
    "                             the recoil page's guns (0-3) and bullets (0-29); x < 0 is\n"
    "                             left, y > 0 down\n"
    "  headset show [--json]      what it holds for the headset: equaliser, curves,\n"
    "                             microphone, monitor, voice changer, what applies\n"
    "  headset eq preset N|band N VALUE|save NAME|select NAME|delete NAME\n"
    "  headset mic|monitor level N|mute on|off, headset voice on|off|1-4\n"
    "                             change an audio setting, as the headset's pages do\n"
    "  mousepad show [--json]     what it holds for the mouse pad: its onboard profile,\n"
    "                             the light record as the pad answered it, the light\n"
    "  macro list KIND [--json]   the macros of the keyboard's or mouse's page\n"
    "  macro show KIND MACRO [--json]\n"
    "                             a macro's events (MACRO: its name or index)\n"
    "  macro new KIND | rename KIND MACRO NAME | delete KIND MACRO\n"
    "                             change the list as the macro page does; a deleted\n"
    "                             macro's keys take their defaults in every profile\n"
    "  macro import KIND FILE | export KIND MACRO FILE\n"
    "                             copy a .mac file in or out\n"
    "  update check [--json]      ask the update service about the attached devices and\n"
    "                             the application, as the settings window does\n"
    "  language list [--json]     the languages offered; * marks the one in use\n"
    "  language set ID            switch to language ID (1033 English, 2052 Chinese)\n"
    "  lighting sync [--json]     synchronised lighting: the shared effect, its steps\n"
    "                             and the devices in it\n"
    "  lighting KIND [--json]     the light setting of the keyboard, mouse, mousepad\n"
    "                             or headset\n"
    "  lighting KIND set [--mode NAME|N] [--brightness 0-4] [--speed 0-4]\n"
    "                    [--direction left|right] [--color #RRGGBB] [--multicolor on|off]\n"
    "                             change it, as the lighting page does\n"
    "  send MESSAGE WPARAM LPARAM deliver a registered message (LightCommandMessage,\n"
    "                             SettingsRelayMessage, WorkToolQueryMessage,\n"
    "                             Game_Start, ... or the registration string)\n"
    "  sim plug|unplug PRODUCT    plug or unplug a virtual device of kx520 --simulate\n"
    "  sim fault PRODUCT FAULT [COUNT]\n"
    "                             make a virtual device misbehave (no-reply, late-reply,\n"
    "                             stray-reply, status-ff, status-fe, asleep, unplug,\n"
    "                             usb-timing)\n"
    "  sim notify PRODUCT [CODE]  send a device notification (0x401: settings changed,\n"
    "                             0x1003: profile 3 chosen on the keyboard)\n"
    "  sim battery PRODUCT N      set a virtual device's battery level (0-100)\n"
    "  sim profile PRODUCT N      switch a virtual device's own profile (0-15), as its\n"
    "                             buttons do, without a notification\n"
    "  sim reset PRODUCT          a virtual device back to its factory state\n"
    "  sim state PRODUCT [--json] what a virtual device holds: its light record,\n"
    "                             key colours and the last frame streamed to it\n"
    "  ui windows|controls [WINDOW]|get NAME [--json]\n"
    "                             the open windows and their controls (kx520 --automation)\n"
    "  ui click|dbclick|menu NAME, ui select|value NAME N, ui check NAME 0|1,\n"
    "  ui text NAME TEXT          act on a control as a user does (NAME, or #USERDATA)\n"
    "  ui file PATH               the next file dialog answers PATH (\"\" cancels)\n"
    "  ui screenshot PNG          write the top-most window to PNG\n"
    "  ui routes [--json]         the main window's notification routing rows, in order\n"
    "  ui key NAME down|up, ui button left|right|middle|back|forward down|up [CONTROL]\n"
    "                             input as if a macro recording heard it (on CONTROL:\n"
    "                             the pointer is on that control)\n"
    "\n"
    "Products: keyboard, keyboard-receiver, mouse, mouse-receiver, mousepad, headset\n"
    "\n"
    "Options:\n"
    "  --simulate[=LIST]  attach virtual devices (comma-separated; all when bare)\n"
    "  -h, --help         this text\n"
    "  --version          the version\n";

int Usage(const std::string& error) {
    std::cerr << kx520::UsageErrorText("kx520ctl", error);
    return kExitUsage;
}

// Options a command hands on to the application with its words.
constexpr const char* kAssignOptions[] = {"modifier",  "repeat", "mode",       "delay", "speed", "brightness",
                                          "direction", "color",  "multicolor", "y",     "enabled", "x",
                                          // keyboard options
                                          "repeat-rate", "repeat-delay", "polling", "six-key", "win", "win-lock"};

int RunList(const kx520::CommandLine& commandLine, kx520::sim::MachineBackends& backends) {
    const kx520::ctl::InterfaceListing listing = kx520::ctl::ListInterfaces(backends.Backend());
    std::cout << (commandLine.Has("json") ? kx520::ctl::FormatListingJson(listing)
                                          : kx520::ctl::FormatListingText(listing));
    for (const auto& [path, error] : listing.failed) {
        std::cerr << "kx520ctl: cannot open " << path << ": " << kx520::hid::HidErrorText(error)
                  << "\n";
    }
    if (listing.PermissionDenied()) {
        std::cerr << kx520::UdevRuleHint();
    }
    return listing.failed.empty() ? kExitOk : kExitFailure;
}

int RunState(const kx520::CommandLine& commandLine, kx520::sim::MachineBackends& backends,
             const std::string& product, bool simulated) {
    std::string error;
    // A virtual device is this process's own: nobody else can hold it.
    std::unique_ptr<kx520::DeviceLock> lock;
    if (!simulated) {
        lock = kx520::DeviceLock::TryAcquire(kx520::DeviceLock::KindOf(product), &error);
    }
    if (!simulated && !lock) {
        std::cerr << "kx520ctl: " << error
                  << "; close the KX520 application (or let it do this) and try again\n";
        return kExitFailure;
    }
    kx520::protocol::CommandChannel channel(backends.Backend());
    std::string path;
    switch (kx520::ctl::ConnectProduct(channel, backends.Backend(), product, &path)) {
        case kx520::ctl::ConnectResult::Connected:
            break;
        case kx520::ctl::ConnectResult::NotAttached:
            std::cerr << "kx520ctl: no " << product << " is attached\n";
            return kExitUsage;
        case kx520::ctl::ConnectResult::AccessDenied:
            std::cerr << "kx520ctl: cannot open " << path << ": permission denied\n"
                      << kx520::UdevRuleHint();
            return kExitFailure;
        case kx520::ctl::ConnectResult::OpenFailed:
            std::cerr << "kx520ctl: cannot open " << path << "\n";
            return kExitFailure;
        case kx520::ctl::ConnectResult::Unusable:
            std::cerr << "kx520ctl: cannot use " << path << ": "
                      << kx520::hid::HidErrorText(kx520::hid::HidError::Unusable) << "\n";
            return kExitFailure;
    }
    const uint16_t deviceClass = kx520::DeviceClassFromName(product);
    kx520::ctl::DeviceState state = kx520::ctl::ReadDeviceState(channel, deviceClass);
    if (deviceClass == kx520::KeyboardWired || deviceClass == kx520::KeyboardReceiver) {
        kx520::protocol::ReadLightRecord(channel, state);  // what the keyboard lights
        if (simulated) {
            if (const auto firmware = backends.Virtual().Firmware(product)) {
                state.keyColours = firmware->Firmware().LightState().keyColours;
                state.readsKeyColours = true;
            }
        }
    }
    std::cout << (commandLine.Has("json") ? kx520::ctl::FormatStateJson(state)
                                          : kx520::ctl::FormatStateText(state));
    return state.result == kx520::protocol::kResultSuccess ? kExitOk : kExitFailure;
}

int RunUdevRules(const kx520::CommandLine& commandLine) {
    const std::string text = kx520::UdevRuleText();
    const auto output = commandLine.Value("output");
    if (!output) {
        std::cout << text;
        return kExitOk;
    }
    std::ofstream file(*output, std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        std::cerr << "kx520ctl: cannot write " << *output << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    kx520::CommandLine commandLine;
    commandLine.AddOption("simulate", kx520::CommandLine::Kind::OptionalValue);
    commandLine.AddOption("json", kx520::CommandLine::Kind::Flag);
    commandLine.AddOption("output", kx520::CommandLine::Kind::Value);
    commandLine.AddOption("profile", kx520::CommandLine::Kind::Value);
    commandLine.AddOption("help", kx520::CommandLine::Kind::Flag);
    // The options of keyboard assign's functions.
    for (const char* option : kAssignOptions) {
        commandLine.AddOption(option, kx520::CommandLine::Kind::Value);
    }
    commandLine.AddOption("version", kx520::CommandLine::Kind::Flag);
    if (!commandLine.Parse(argc, argv)) {
        return Usage(commandLine.Error());
    }
    if (commandLine.Has("help")) {
        std::cout << kUsage;
        return kExitOk;
    }
    if (commandLine.Has("version")) {
        std::cout << kx520::VersionText("kx520ctl");
        return kExitOk;
    }
    std::string error;
    const auto simulated = kx520::sim::SimulatedProducts(commandLine, &error);
    if (!simulated) {
        return Usage(error);
    }
    const auto& positionals = commandLine.Positionals();
    if (positionals.empty()) {
        return Usage("no command given");
    }
    const std::string& command = positionals.front();
    const std::vector<std::string> rest(positionals.begin() + 1, positionals.end());
    if (command == "profile") {
        kx520::ctl::ProfileCommand::Options options;
        options.json = commandLine.Has("json");
        options.profile = commandLine.Value("profile").value_or("");
        return kx520::ctl::ProfileCommand::Run(rest, options);
    }
    if (command == "ui") {
        QCoreApplication app(argc, argv);
        return kx520::ctl::UiClient::Run(rest, commandLine.Has("json"));
    }
    if (command == "macro") {
        QCoreApplication app(argc, argv);
        return kx520::ctl::AppClient::Macro(rest, commandLine.Has("json"));
    }
    if (command == "send" || command == "sim" || command == "status" || command == "keyboard" ||
        command == "lighting" || command == "mouse" || command == "headset" || command == "mousepad" ||
        command == "update" || command == "language") {
        QCoreApplication app(argc, argv);
        if (command == "keyboard" || command == "lighting" || command == "mouse") {
            // The function's options go back after its words, as it takes them.
            std::vector<std::string> words = rest;
            for (const char* option : kAssignOptions) {
                if (const auto value = commandLine.Value(option)) {
                    words.push_back(std::string("--") + option);
                    words.push_back(*value);
                }
            }
            if (command == "mouse") {
                return kx520::ctl::AppClient::Mouse(words, commandLine.Has("json"));
            }
            return command == "keyboard" ? kx520::ctl::AppClient::Keyboard(words, commandLine.Has("json"))
                                         : kx520::ctl::AppClient::Lighting(words, commandLine.Has("json"));
        }
        if (command == "headset") {
            return kx520::ctl::AppClient::Headset(rest, commandLine.Has("json"));
        }
        if (command == "mousepad") {
            return kx520::ctl::AppClient::MousePad(rest, commandLine.Has("json"));
        }
        if (command == "update") {
            return kx520::ctl::AppClient::Update(rest, commandLine.Has("json"));
        }
        if (command == "language") {
            return kx520::ctl::AppClient::Language(rest, commandLine.Has("json"));
        }
        if (command == "send") {
            return kx520::ctl::AppClient::Send(rest);
        }
        if (command == "sim") {
            return kx520::ctl::AppClient::Sim(rest, commandLine.Has("json"));
        }
        return rest.empty() ? kx520::ctl::AppClient::Status(commandLine.Has("json"))
                            : Usage("unexpected argument '" + rest.front() + "'");
    }
    const size_t arguments = command == "state" ? 2 : 1;
    if (positionals.size() > arguments) {
        return Usage("unexpected argument '" + positionals[arguments] + "'");
    }
    if (command == "state" &&
        (positionals.size() < 2 || kx520::DeviceClassFromName(positionals[1]) == 0)) {
        return Usage(positionals.size() < 2 ? "state needs a product"
                                            : "unknown product '" + positionals[1] + "'");
    }
    if (command == "udev-rules") {
        return RunUdevRules(commandLine);
    }
    const auto backends = kx520::sim::MachineBackends::Create(*simulated, &error);
    if (!backends) {
        return Usage(error);
    }
    if (command == "list") {
        return RunList(commandLine, *backends);
    }
    if (command == "state") {
        const bool simulatedProduct =
            std::find(simulated->begin(), simulated->end(), positionals[1]) != simulated->end();
        return RunState(commandLine, *backends, positionals[1], simulatedProduct);
    }
    return Usage("unknown command '" + command + "'");
}
