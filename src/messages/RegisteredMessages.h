#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/ProductName.h"

namespace kx520 {


// Numbered messages of the main window (never accepted from other programs).
namespace msg {
inline constexpr uint32_t kCopyData = 0x004A;
inline constexpr uint32_t kDisplayChange = 0x007E;
inline constexpr uint32_t kPowerBroadcast = 0x0218;
inline constexpr uint32_t kTrayIcon = 1025;
inline constexpr uint32_t kHookControl = 1054;
inline constexpr uint32_t kMenuClick = 1145;
inline constexpr uint32_t kDpiNotice = 1224;
inline constexpr uint32_t kShowSettingProgress = 3072;
inline constexpr uint32_t kLanguageChanged = 3089;
inline constexpr uint32_t kDeviceArrived = 3090;
inline constexpr uint32_t kDeviceRemoved = 3091;
inline constexpr uint32_t kUpdateRefresh = 3092;
inline constexpr uint32_t kOpenSettings = 3093;
inline constexpr uint32_t kClearSettingsBadge = 3094;
inline constexpr uint32_t kDeviceNotice = 3328;
inline constexpr uint32_t kDeviceState = 3329;
inline constexpr uint32_t kDevicePresence = 3331;
inline constexpr uint32_t kStartFirmwareUpdate = 3332;
// A supported interface could not be opened (wParam: the hid::HidError).
inline constexpr uint32_t kDeviceUnusable = 3333;

// wParam of kPowerBroadcast.
inline constexpr uint32_t kPowerSuspend = 4;
inline constexpr uint32_t kPowerResume = 18;
}  // namespace msg

// A message registered by name between programs.
struct RegisteredMessage {
    const char* codeName;      // how scripts name it
    const char* registration;  // the registration string
    bool fromOutside;          // other programs may send it to the application
};

inline constexpr RegisteredMessage kInstanceMessage{"InstanceMessage", "KX520 PRO Keyboard",
                                                    false};
inline constexpr RegisteredMessage kSettingsRelayMessage{
    "SettingsRelayMessage", "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}", true};
inline constexpr RegisteredMessage kLightStateMessage{
    "LightStateMessage", "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}", false};
inline constexpr RegisteredMessage kLightCommandMessage{
    "LightCommandMessage", "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}", true};
inline constexpr RegisteredMessage kWorkToolQueryMessage{
    "WorkToolQueryMessage", "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}", true};
// "BE19", not "BF19": the audio-capture program listens for this string.
inline constexpr RegisteredMessage kAudioRecordCommandMessage{
    "AudioRecordCommandMessage", "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}", false};

// Every registered message: the five above in registration order, the
// input-hook set and the game events.
std::span<const RegisteredMessage> RegisteredMessages();
// By code name or registration string; nullptr for an unknown name.
const RegisteredMessage* FindRegisteredMessage(std::string_view name);

}  // namespace kx520
