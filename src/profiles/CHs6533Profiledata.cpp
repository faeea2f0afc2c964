#include "profiles/CHs6533Profiledata.h"

#include <algorithm>

#include "platform/SafeJson.h"
#include "platform/Utf8.h"

namespace kx520::profiles {

namespace {

using Bands = CHs6533Profiledata::Bands;

constexpr std::array<Bands, CHs6533Profiledata::kFixedPresets> kFixedPresetBands{{
    {7, 11, 2, -3, -1, 4, 9, 12, 9, 5},
    {7, 11, 6, -3, -11, -1, 6, 13, 6, 13},
    {10, 4, 0, -3, -4, -3, -2, -1, 0, 0},
    {2, 1, -2, -3, -5, -7, 0, 4, 9, 8},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {7, 14, -13, -6, -1, 8, 13, 7, 2, 6},
    {14, 10, 4, 0, -4, -3, -1, 1, 2, 3},
    {2, 1, -2, -3, -5, -1, 7, 11, 15, 13},
    {8, 2, -4, -8, 1, 3, 8, 11, 14, 16},
    {-3, 4, 10, 0, -11, 3, 9, 13, 6, 0},
    {18, 14, 8, 2, -3, -6, -1, 2, 5, 6},
    {2, 1, -2, -4, -8, 4, 12, 16, 18, 15},
}};

using Field = int32_t HeadsetSystemSettings::*;

struct SettingKey {
    const char* key;
    Field field;
};

// The file's own spellings.
constexpr SettingKey kSettingKeys[] = {
    {"MagicEnable", &HeadsetSystemSettings::magicEnable},
    {"MagicType", &HeadsetSystemSettings::magicType},
    {"EqType", &HeadsetSystemSettings::eqType},
    {"CustomEqSeletIndex", &HeadsetSystemSettings::customEqIndex},
    {"MicInSelect", &HeadsetSystemSettings::micInSelect},
    {"MicInValue", &HeadsetSystemSettings::micInValue},
    {"MicMoniterSelect", &HeadsetSystemSettings::micMonitorSelect},
    {"MicMoniterValue", &HeadsetSystemSettings::micMonitorValue},
};

constexpr const char* kNames = "CustomEQNameInfo";
constexpr const char* kUserBands = "CustomEQHzValueInfo";
constexpr const char* kSlotBands = "EQHzValueInfo";

// `value` made an array when a file had something else there.
Json::Value& AsArray(Json::Value& value) {
    if (!value.isArray()) {
        value = Json::Value(Json::arrayValue);
    }
    return value;
}

// Element `index` of the array `holder`, the array grown to hold it.
Json::Value& ElementAt(Json::Value& holder, size_t index) {
    Json::Value& array = AsArray(holder);
    if (array.size() <= index) {
        array.resize(static_cast<Json::ArrayIndex>(index + 1));
    }
    return array[static_cast<Json::ArrayIndex>(index)];
}

}  // namespace

const Bands& CHs6533Profiledata::FixedPreset(int eqType) {
    const int slot = std::clamp(eqType, 1, kFixedPresets);
    return kFixedPresetBands[static_cast<size_t>(slot - 1)];
}

int CHs6533Profiledata::PresetSlot(int eqType) {
    if (eqType == kUserPresetType) {
        return -1;
    }
    return eqType >= 1 && eqType <= kFixedPresets ? eqType : 1;
}

Json::Value& CHs6533Profiledata::Member(const char* key, Json::ValueType type) {
    Json::Value& section = MutableSection();
    if (!section.isObject()) {
        section = Json::Value(Json::objectValue);
    }
    Json::Value& member = section[key];
    if (member.type() != type) {
        member = Json::Value(type);
    }
    return member;
}

HeadsetSystemSettings CHs6533Profiledata::GetSystemSetStages() {
    const Json::Value& stages = json::Member(Section(), "SystemSetStages");
    m_settings = HeadsetSystemSettings{};
    for (const SettingKey& setting : kSettingKeys) {
        m_settings.*setting.field = json::Int(json::Member(stages, setting.key));
    }
    return m_settings;
}

void CHs6533Profiledata::SetSystemSetStages(const HeadsetSystemSettings& settings) {
    m_settings = settings;
    Json::Value& stages = Member("SystemSetStages", Json::objectValue);
    for (const SettingKey& setting : kSettingKeys) {
        stages[setting.key] = settings.*setting.field;
    }
}

std::vector<int32_t> CHs6533Profiledata::ReadBands(Json::Value& holder, size_t index) {
    Json::Value& bands = AsArray(ElementAt(holder, index));
    std::vector<int32_t> gains;
    gains.reserve(kBands);
    for (size_t band = 0; band < kBands; ++band) {
        Json::Value& entry = ElementAt(bands, band);
        if (!entry.isObject()) {
            entry = Json::Value(Json::objectValue);
            entry["value"] = 0;
        }
        gains.push_back(json::Int(json::Member(entry, "value")));
    }
    return gains;
}

void CHs6533Profiledata::WriteBands(Json::Value& holder, size_t index, const Bands& bands) {
    Json::Value& entries = AsArray(ElementAt(holder, index));
    for (size_t band = 0; band < kBands; ++band) {
        Json::Value entry(Json::objectValue);
        entry["value"] = bands[band];
        ElementAt(entries, band) = entry;
    }
}

std::vector<int32_t> CHs6533Profiledata::GetEQBands(int eqType) {
    const int slot = PresetSlot(eqType);
    if (slot < 0) {
        return {};
    }
    return ReadBands(Member(kSlotBands, Json::arrayValue), static_cast<size_t>(slot));
}

void CHs6533Profiledata::SetEQBands(int eqType, const Bands& bands) {
    const int slot = PresetSlot(eqType);
    if (slot < 0) {
        return;
    }
    WriteBands(Member(kSlotBands, Json::arrayValue), static_cast<size_t>(slot), bands);
}

std::vector<std::string> CHs6533Profiledata::GetCustomEQNames() {
    const Json::Value& entries = json::Member(Section(), kNames);
    std::vector<std::string> names;
    const size_t count = entries.isArray() ? std::min<size_t>(entries.size(), kMostUserPresets) : 0;
    for (size_t i = 0; i < count; ++i) {
        names.push_back(json::String(json::Member(json::Element(entries, i), "Name")));
    }
    return names;
}

void CHs6533Profiledata::SetCustomEQNames(const std::vector<std::string>& names) {
    Json::Value entries(Json::arrayValue);
    for (size_t i = 0; i < names.size() && i < kMostUserPresets; ++i) {
        Json::Value entry(Json::objectValue);
        entry["Name"] = names[i];
        entries.append(entry);
    }
    Member(kNames, Json::arrayValue) = entries;
}

std::vector<int32_t> CHs6533Profiledata::GetCustomEQBands(int index) {
    if (index < 0 || static_cast<size_t>(index) >= GetCustomEQNames().size()) {
        return {};
    }
    return ReadBands(Member(kUserBands, Json::arrayValue), static_cast<size_t>(index));
}

bool CHs6533Profiledata::SetCustomEQBands(int index, const Bands& bands) {
    if (index < 0 || static_cast<size_t>(index) >= GetCustomEQNames().size()) {
        return false;
    }
    WriteBands(Member(kUserBands, Json::arrayValue), static_cast<size_t>(index), bands);
    return true;
}

CHs6533Profiledata::PresetSaved CHs6533Profiledata::AddCustomPreset(const std::string& name, const Bands& bands) {
    if (name.empty()) {
        return PresetSaved::kNoName;
    }
    std::vector<std::string> names = GetCustomEQNames();
    if (names.size() >= kMostUserPresets) {
        return PresetSaved::kListFull;
    }
    const bool taken = std::any_of(names.begin(), names.end(),
                                   [&name](const std::string& other) { return utf8::SameIgnoringCase(other, name); });
    if (taken) {
        return PresetSaved::kNameTaken;
    }
    names.push_back(name);
    SetCustomEQNames(names);
    // A bands array longer than the names (a damaged file) is cut to them first.
    Json::Value& all = Member(kUserBands, Json::arrayValue);
    if (all.size() > names.size() - 1) {
        all.resize(static_cast<Json::ArrayIndex>(names.size() - 1));
    }
    WriteBands(all, names.size() - 1, bands);
    return PresetSaved::kSaved;
}

bool CHs6533Profiledata::DeleteCustomPreset(int index) {
    std::vector<std::string> names = GetCustomEQNames();
    if (index < 0 || static_cast<size_t>(index) >= names.size()) {
        return false;
    }
    names.erase(names.begin() + index);
    SetCustomEQNames(names);
    Json::Value& all = Member(kUserBands, Json::arrayValue);
    if (static_cast<Json::ArrayIndex>(index) < all.size()) {
        Json::Value removed;
        all.removeIndex(static_cast<Json::ArrayIndex>(index), &removed);
    }
    return true;
}

}  // namespace kx520::profiles
