#include "messages/RegisteredMessages.h"

#include <array>

namespace kx520 {

namespace {

// Hook messages come from the application's own input capture; game events
// from outside programs.
constexpr RegisteredMessage Hook(const char* name) {
    return {name, name, false};
}
constexpr RegisteredMessage Game(const char* name) {
    return {name, name, true};
}

constexpr std::array kAll{
    kInstanceMessage,
    kSettingsRelayMessage,
    kLightStateMessage,
    kLightCommandMessage,
    kWorkToolQueryMessage,
    kAudioRecordCommandMessage,
    Hook("WM_HOOK_KEY_SINGLEKEY_MSG"),
    Hook("WM_HOOK_KEY_HITKEY_MSG"),
    Hook("WM_HOOK_KEY_KBMACRO_MSG"),
    Hook("WM_HOOK_KEY_MSMACRO_MSG"),
    Hook("WM_HOOK_KEY_KBMACROSINGLE_MSG"),
    Hook("WM_HOOK_KEY_KBMACROPREVIOUS_MSG"),
    Hook("WM_HOOK_KEY_KBMACROLATER_MSG"),
    Hook("WM_HOOK_KEY_MSMACROSINGLE_MSG"),
    Hook("WM_HOOK_KEY_MSMACROPREVIOUS_MSG"),
    Hook("WM_HOOK_KEY_MSMACROLATER_MSG"),
    Hook("WM_HOOK_MOU_SINGLEKEY_MSG"),
    Hook("WM_HOOK_MOU_HITKEY_MSG"),
    Hook("WM_HOOK_MOU_KBMACRO_MSG"),
    Hook("WM_HOOK_MOU_MSMACRO_MSG"),
    Hook("UWM_MOUSERBUTTONDOWN_USER_MSG"),
    Hook("UWM_MOUSELBUTTONUP_USER_MSG"),
    Hook("UWM_MOUSELBUTTONDOWN_USER_MSG"),
    Hook("UWM_MOUSERBUTTONUP_USER_MSG"),
    Hook("UWM_MOUSEMOVE_USER_MSG"),
    Game("Game_Start"),
    Game("Game_End"),
    Game("Game_Kill"),
    Game("Game_Death"),
};

}  // namespace

std::span<const RegisteredMessage> RegisteredMessages() {
    return kAll;
}

const RegisteredMessage* FindRegisteredMessage(std::string_view name) {
    for (const RegisteredMessage& message : kAll) {
        if (name == message.codeName || name == message.registration) {
            return &message;
        }
    }
    return nullptr;
}

}  // namespace kx520
