#pragma once

#include <string>
#include <vector>

namespace kx520::ctl {

// kx520ctl profile list|show|export|import KIND ...: the profiles of one
// device kind, on the same code the application uses.
class ProfileCommand {
public:
    struct Options {
        bool json = false;
        std::string profile;  // --profile NAME: instead of the selected one
    };
    // `args` after "profile"; returns the exit code. Output to stdout,
    // messages to stderr.
    static int Run(const std::vector<std::string>& args, const Options& options);
    // "keyboard" -> "keyboard", "mousepad" -> "MousePad", "headset" -> "HD"...
    static std::string KindFolder(const std::string& kind);
};

}  // namespace kx520::ctl
