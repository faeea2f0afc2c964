#include "profiles/CKeyboardProfiledata.h"

#include <algorithm>

#include "platform/SafeJson.h"

namespace kx520::profiles {

namespace {

using Field = uint16_t KeyboardSystemSettings::*;

struct StageKey {
    const char* key;
    Field field;
};

constexpr StageKey kStageKeys[] = {
    {"Repeat", &KeyboardSystemSettings::repeat},
    {"RepeatDelay", &KeyboardSystemSettings::repeatDelay},
    {"Key6Flag", &KeyboardSystemSettings::key6Flag},
    {"PollingRate", &KeyboardSystemSettings::pollingRate},
    {"WFlag", &KeyboardSystemSettings::wFlag},
    {"WinFlag", &KeyboardSystemSettings::winFlag},
};

constexpr const char* kColourKeys[] = {"Red", "Green", "Blue", "Alpha"};

Json::Value ZeroColour() {
    Json::Value object(Json::objectValue);
    for (const char* key : kColourKeys) {
        object[key] = 0;
    }
    return object;
}

Json::Value ColourObject(const LightColor& colour) {
    Json::Value object(Json::objectValue);
    object["Red"] = colour.red;
    object["Green"] = colour.green;
    object["Blue"] = colour.blue;
    object["Alpha"] = colour.alpha;
    return object;
}

LightColor ReadColour(const Json::Value& object) {
    auto byte = [&object](const char* key) {
        return static_cast<uint8_t>(json::Int(json::Member(object, key)));
    };
    return LightColor{byte("Red"), byte("Green"), byte("Blue"), byte("Alpha")};
}

// The layouts array, made an array (and the section an object) when a
// file had something else there.
Json::Value& Layouts(Json::Value& section) {
    if (!section.isObject()) {
        section = Json::Value(Json::objectValue);
    }
    Json::Value& mode = section["CustomLightMode"];
    if (!mode.isObject()) {
        mode = Json::Value(Json::objectValue);
    }
    Json::Value& layouts = mode["LightColorInfo"];
    if (!layouts.isArray()) {
        layouts = Json::Value(Json::arrayValue);
    }
    return layouts;
}

// Layout `layout` may be read and written: an existing one, or the next.
bool Reachable(const Json::Value& section, int layout) {
    if (layout < 0 || layout >= CKeyboardProfiledata::kMaxLayouts) {
        return false;
    }
    const Json::Value& layouts =
        json::Member(json::Member(section, "CustomLightMode"), "LightColorInfo");
    const auto present = layouts.isArray() ? static_cast<int>(layouts.size()) : 0;
    return layout <= present;
}

}  // namespace

KeyboardSystemSettings CKeyboardProfiledata::GetSystemStages() {
    const Json::Value& stages = json::Member(Section(), "SystemStages");
    KeyboardSystemSettings settings;
    for (const StageKey& k : kStageKeys) {
        settings.*k.field = static_cast<uint16_t>(json::Int(json::Member(stages, k.key)));
    }
    m_systemSettings = settings;
    return settings;
}

void CKeyboardProfiledata::SetSystemStages(const KeyboardSystemSettings& settings) {
    m_systemSettings = settings;
    Json::Value& section = MutableSection();
    if (!section.isObject()) {
        section = Json::Value(Json::objectValue);
    }
    Json::Value stages(Json::objectValue);
    for (const StageKey& k : kStageKeys) {
        stages[k.key] = settings.*k.field;
    }
    section["SystemStages"] = stages;
}

std::vector<LightColor> CKeyboardProfiledata::GetCustomLightColors(int layout, size_t count) {
    count = std::min(count, kMaxColours);
    std::vector<LightColor> colours(count);
    if (!Reachable(Section(), layout)) {
        return colours;
    }
    Json::Value& layouts = Layouts(MutableSection());
    Json::Value& entries = layouts[static_cast<Json::ArrayIndex>(layout)];
    if (!entries.isArray()) {
        entries = Json::Value(Json::arrayValue);
    }
    for (size_t i = 0; i < count; ++i) {
        const auto at = static_cast<Json::ArrayIndex>(i);
        if (at >= entries.size() || !entries[at].isObject()) {
            entries[at] = ZeroColour();
            continue;
        }
        colours[i] = ReadColour(entries[at]);
    }
    return colours;
}

void CKeyboardProfiledata::SetCustomLightColors(const std::vector<LightColor>& colours, int layout) {
    if (!Reachable(Section(), layout)) {
        return;
    }
    const size_t count = std::min(colours.size(), kMaxColours);
    m_customColours.assign(colours.begin(), colours.begin() + static_cast<std::ptrdiff_t>(count));
    Json::Value& entries = Layouts(MutableSection())[static_cast<Json::ArrayIndex>(layout)];
    if (!entries.isArray()) {
        entries = Json::Value(Json::arrayValue);
    }
    for (size_t i = 0; i < count; ++i) {
        entries[static_cast<Json::ArrayIndex>(i)] = ColourObject(colours[i]);
    }
}

int32_t CKeyboardProfiledata::GetCustomLightGroup() {
    m_customGroup = json::Int(
        json::Member(json::Member(Section(), "CustomLightMode"), "CustomLightModeGroupIndex"));
    return m_customGroup;
}

void CKeyboardProfiledata::SetCustomLightGroup(int32_t group) {
    m_customGroup = group;
    Layouts(MutableSection());  // makes "CustomLightMode" an object
    MutableSection()["CustomLightMode"]["CustomLightModeGroupIndex"] = group;
}

}  // namespace kx520::profiles
