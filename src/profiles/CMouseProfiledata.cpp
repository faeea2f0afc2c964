#include "profiles/CMouseProfiledata.h"

#include <algorithm>

#include "platform/SafeJson.h"

namespace kx520::profiles {

namespace {

using Setting = uint16_t MouseSystemSettings::*;

struct SettingKey {
    const char* key;
    Setting field;
};

// The file's own spellings.
constexpr SettingKey kSystemKeys[] = {
    {"DoubleClickTime", &MouseSystemSettings::doubleClickTime},
    {"MouseSpeed", &MouseSystemSettings::mouseSpeed},
    {"PointerPrecision", &MouseSystemSettings::pointerPrecision},
    {"ScorllPage", &MouseSystemSettings::scrollPage},
    {"WheelScorlllinse", &MouseSystemSettings::wheelScrollLines},
};

uint8_t Byte(const Json::Value& object, const char* key) {
    return static_cast<uint8_t>(json::Int(json::Member(object, key)));
}

uint16_t Word(const Json::Value& object, const char* key) {
    return static_cast<uint16_t>(json::Int(json::Member(object, key)));
}

DpiStage ReadStage(const Json::Value& object) {
    return DpiStage{Byte(object, "StageActive"), Byte(object, "StageXY"),     Word(object, "StageDPIX"),
                    Word(object, "StageDPIY"),   Byte(object, "StageColorR"), Byte(object, "StageColorG"),
                    Byte(object, "StageColorB")};
}

Json::Value StageObject(const DpiStage& stage) {
    Json::Value object(Json::objectValue);
    object["StageActive"] = stage.enabled;
    object["StageXY"] = stage.xy;
    object["StageDPIX"] = stage.dpiX;
    object["StageDPIY"] = stage.dpiY;
    object["StageColorR"] = stage.red;
    object["StageColorG"] = stage.green;
    object["StageColorB"] = stage.blue;
    return object;
}

// An object member, made an object (and the section one) when a file had
// something else there.
Json::Value& ObjectMember(Json::Value& section, const char* key) {
    if (!section.isObject()) {
        section = Json::Value(Json::objectValue);
    }
    Json::Value& member = section[key];
    if (!member.isObject()) {
        member = Json::Value(Json::objectValue);
    }
    return member;
}

}  // namespace

std::vector<DpiStage> CMouseProfiledata::GetDPIStages() {
    const Json::Value& dpi = json::Member(Section(), "DPIStages");
    if (!dpi.isObject()) {
        return m_stages;
    }
    m_activeStage = json::Int(json::Member(dpi, "StageActive"));
    const Json::Value& entries = json::Member(dpi, "StageDPIs");
    if (!entries.isArray()) {
        return m_stages;
    }
    const size_t count = std::min<size_t>(entries.size(), kMaxStages);
    for (size_t i = 0; i < count; ++i) {
        const DpiStage stage = ReadStage(json::Element(entries, i));
        if (i < m_stages.size()) {
            m_stages[i] = stage;
        } else {
            m_stages.push_back(stage);
        }
    }
    return m_stages;
}

void CMouseProfiledata::SetDPIStages(const std::vector<DpiStage>& stages) {
    const size_t count = std::min(stages.size(), kMaxStages);
    m_stages.assign(stages.begin(), stages.begin() + static_cast<std::ptrdiff_t>(count));
    Json::Value& dpi = ObjectMember(MutableSection(), "DPIStages");
    Json::Value& entries = dpi["StageDPIs"];
    if (!entries.isArray()) {
        entries = Json::Value(Json::arrayValue);
    }
    for (size_t i = 0; i < count; ++i) {
        entries[static_cast<Json::ArrayIndex>(i)] = StageObject(m_stages[i]);
    }
}

void CMouseProfiledata::SetActiveStage(int32_t stage) {
    m_activeStage = stage;
    ObjectMember(MutableSection(), "DPIStages")["StageActive"] = stage;
}

MouseSystemSettings CMouseProfiledata::GetSystemStages() {
    MouseSystemSettings settings;
    const Json::Value& system = json::Member(Section(), "SystemStages");
    if (system.isObject()) {
        for (const SettingKey& k : kSystemKeys) {
            settings.*k.field = Word(system, k.key);
        }
        settings.reportRate = Word(json::Member(Section(), "ReportStages"), "StageActive");
    }
    m_systemSettings = settings;
    return settings;
}

void CMouseProfiledata::SetSystemStages(const MouseSystemSettings& settings) {
    m_systemSettings = settings;
    Json::Value& system = ObjectMember(MutableSection(), "SystemStages");
    for (const SettingKey& k : kSystemKeys) {
        system[k.key] = settings.*k.field;
    }
    ObjectMember(MutableSection(), "ReportStages")["StageActive"] = settings.reportRate;
}

std::vector<CorrectionPreset> CMouseProfiledata::GetCorrections() {
    m_corrections.clear();
    const Json::Value& presets = json::Member(Section(), "CorrectInfo");
    const size_t count = presets.isArray() ? std::min<size_t>(presets.size(), kMaxCorrections) : 0;
    for (size_t i = 0; i < count; ++i) {
        const Json::Value& preset = json::Element(presets, i);
        m_corrections.push_back(CorrectionPreset{Byte(preset, "CorrectPixThresh"), Byte(preset, "CorrectMinSq"),
                                                 Byte(preset, "CorrectSelect"),
                                                 json::String(json::Member(preset, "CorrectName"))});
    }
    return m_corrections;
}

}  // namespace kx520::profiles
