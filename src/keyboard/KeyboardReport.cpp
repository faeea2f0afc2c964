#include "keyboard/KeyboardReport.h"

#include <cstdio>

#include "keycodes/KeyCodeName.h"
#include "keyboard/KeyboardCore.h"
#include "lighting/LightReport.h"
#include "catalog/PageKeyDefaults.h"

namespace kx520 {

namespace {

Json::Value Assignment(const KeyCode& code) {
    Json::Value object(Json::objectValue);
    Json::Value bytes(Json::arrayValue);
    bytes.append(code.type);
    bytes.append(code.param1);
    bytes.append(code.param2);
    object["code"] = bytes;
    object["name"] = KeyCodeName(code);
    return object;
}

KeyCode CurrentCode(const KeyboardCore& keyboard,
                    const std::vector<profiles::KeyAssignmentEntry>& keyList, size_t position) {
    if (position < keyList.size()) {
        const profiles::KeyAction& action = keyList[position].assignment;
        return {action.type, action.param1, action.param2};
    }
    const uint8_t key = keyboard.DeviceKeyOf(position);
    if (key != KeyboardCore::kUnmapped && key < KeyboardCore::kMaxDeviceKeys) {
        const auto& raw = keyboard.RawKeys();
        return {raw[3 * key], raw[3 * key + 1], raw[3 * key + 2]};
    }
    return kPageKeyDefaults[position];
}

Json::Value Light(const KeyboardCore& keyboard) {
    return LightReport(keyboard.Light(), keyboard.Names().EffectNames());
}

Json::Value Options(const profiles::KeyboardSystemSettings& options) {
    Json::Value object(Json::objectValue);
    object["repeat"] = options.repeat;
    object["repeatDelay"] = options.repeatDelay;
    object["key6Flag"] = options.key6Flag;
    object["pollingRate"] = options.pollingRate;
    object["wFlag"] = options.wFlag;
    object["winFlag"] = options.winFlag;
    return object;
}

}  // namespace

Json::Value KeyboardReport(const KeyboardCore& keyboard, const std::string& profileName,
                           const std::vector<profiles::KeyAssignmentEntry>& keyList) {
    Json::Value report(Json::objectValue);
    const auto& channel = keyboard.Channel();
    report["link"] = !channel.IsOpen() ? "none" : (channel.ReceiverMode() ? "receiver" : "cable");
    report["onboardProfile"] = keyboard.OnboardProfile();
    report["profile"] = profileName;
    Json::Value keys(Json::arrayValue);
    for (size_t j = 0; j < KeyboardCore::kPageKeys; ++j) {
        Json::Value key(Json::objectValue);
        key["position"] = static_cast<Json::UInt>(j);
        const uint8_t device = keyboard.DeviceKeyOf(j);
        key["deviceKey"] = device == KeyboardCore::kUnmapped ? Json::Value() : Json::Value(device);
        key["current"] = Assignment(CurrentCode(keyboard, keyList, j));
        key["default"] = Assignment(kPageKeyDefaults[j]);
        keys.append(key);
    }
    report["keys"] = keys;
    report["light"] = Light(keyboard);
    report["options"] = Options(keyboard.Options());
    return report;
}

}  // namespace kx520
