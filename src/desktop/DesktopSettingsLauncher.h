#pragma once

#include <QString>

#include "platform/DesktopSettingsCommand.h"

namespace kx520 {

// Opens the desktop's own keyboard or mouse settings without waiting for
// them. The answer is "" when they opened, else the text id that says why
// not ("message_desktop_settings_none": no settings tool for this desktop,
// %1 its name or "this desktop"; "message_desktop_settings_failed": the
// tool would not start, %1 its name).
class DesktopSettingsLauncher {
public:
    struct Result {
        QString textId;
        QString argument;
    };
    static Result Open(DesktopSettingsCommand::Device device);
};

}  // namespace kx520
