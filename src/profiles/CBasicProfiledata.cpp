#include "profiles/CBasicProfiledata.h"

#include <filesystem>

#include "platform/DebugTrace.h"
#include "platform/SafeJson.h"
#include "profiles/JsonFile.h"
#include "profiles/ProfileList.h"

namespace kx520::profiles {

namespace {

uint8_t Byte(const Json::Value& object, const char* key) {
    return static_cast<uint8_t>(json::Int(json::Member(object, key)));
}

uint8_t Flag(const Json::Value& object, const char* key) {
    return json::Bool(json::Member(object, key)) ? 1 : 0;
}

// One byte field of a record and its key; `flag` fields read as booleans
// (non-zero is 1) and are written back as integers.
template <typename Record>
struct ByteKey {
    const char* key;
    uint8_t Record::*field;
    bool flag;
};

constexpr ByteKey<LightSetting> kLightInfoKeys[] = {
    {"SelectItem", &LightSetting::mode, false},     {"Light", &LightSetting::brightness, false},
    {"Speed", &LightSetting::speed, false},         {"MultiColor", &LightSetting::multiColor, true},
    {"Red", &LightSetting::red, false},             {"Green", &LightSetting::green, false},
    {"Blue", &LightSetting::blue, false},           {"Fx", &LightSetting::direction, false},
    {"ZZCCLedMode", &LightSetting::zzccLedMode, false},
    {"CustomGroup", &LightSetting::customGroup, false},
    {"OldLedmode", &LightSetting::oldLedMode, false},
};

constexpr ByteKey<AudioLightSetting> kAudioLightKeys[] = {
    {"AudioMode", &AudioLightSetting::audioMode, false},
    {"BkColorR", &AudioLightSetting::bkRed, false},
    {"BkColorG", &AudioLightSetting::bkGreen, false},
    {"BkColorB", &AudioLightSetting::bkBlue, false},
    {"FgColorR", &AudioLightSetting::fgRed, false},
    {"FgColorG", &AudioLightSetting::fgGreen, false},
    {"FgColorB", &AudioLightSetting::fgBlue, false},
    {"7ColorFlags", &AudioLightSetting::sevenColor, true},
    {"ColorTypeFlags", &AudioLightSetting::colorType, true},
};

// The keys of a light-list entry and of a custom effect step; the list
// takes the two switches as booleans, effect files as integers.
constexpr ByteKey<LightSetting> kLedKeys[] = {
    {"LEDREGMode", &LightSetting::mode, false},     {"LEDBrightness", &LightSetting::brightness, false},
    {"LEDSpeed", &LightSetting::speed, false},      {"LEDMultiColor", &LightSetting::multiColor, true},
    {"LEDDirection", &LightSetting::direction, true}, {"red", &LightSetting::red, false},
    {"green", &LightSetting::green, false},         {"blue", &LightSetting::blue, false},
};

template <typename Record, size_t N>
Record ReadRecord(const Json::Value& object, const ByteKey<Record> (&keys)[N], bool flags = true) {
    Record record{};
    for (const auto& k : keys) {
        record.*k.field = flags && k.flag ? Flag(object, k.key) : Byte(object, k.key);
    }
    return record;
}

template <typename Record, size_t N>
Json::Value WriteRecord(const Record& record, const ByteKey<Record> (&keys)[N]) {
    Json::Value object(Json::objectValue);
    for (const auto& k : keys) {
        object[k.key] = record.*k.field;
    }
    return object;
}

const Json::Value& DeviceSection(const Json::Value& root, int index) {
    return json::Element(json::Member(root, "Device"), static_cast<size_t>(index));
}

// `value` as an object (or array) a writer may index; anything else is replaced.
Json::Value& Object(Json::Value& value) {
    if (!value.isObject()) {
        value = Json::Value(Json::objectValue);
    }
    return value;
}

Json::Value& Array(Json::Value& value) {
    if (!value.isArray()) {
        value = Json::Value(Json::arrayValue);
    }
    return value;
}

// Puts `section` at "Device"[index] of `root`, making both what they must be.
void PlaceSection(Json::Value& root, int index, const Json::Value& section) {
    Json::Value& devices = Array(Object(root)["Device"]);
    devices[static_cast<Json::ArrayIndex>(index)] = section;
}

// A ".light" name from a file, made a path inside `folder`; "" for names
// that would leave it.
std::string EffectPath(const std::string& folder, const std::string& name) {
    if (name.empty() || name.front() == '/') {
        return {};
    }
    for (const auto& part : std::filesystem::path(name)) {
        if (part == "..") {
            return {};
        }
    }
    return folder + "/" + name + ".light";
}

}  // namespace

void CBasicProfiledata::SetProfilePath(const std::string& path) {
    if (!path.empty()) {
        m_profilePath = path;
    }
}

void CBasicProfiledata::SetFallbackPath(const std::string& path) {
    if (!path.empty()) {
        m_fallbackPath = path;
    }
}

bool CBasicProfiledata::WriteJson(const Json::Value& root, const std::string& path) {
    if (path.empty()) {
        m_saveError = "the device has no profile file";
        return false;
    }
    m_saveError.clear();
    if (JsonFile::WriteJson(path, root, &m_saveError)) {
        return true;
    }
    DebugTrace("profile not saved to " + path + ": " + m_saveError);
    return false;
}

Json::Value CBasicProfiledata::LoadRepaired(const std::string& path) {
    Json::Value root = JsonFile::ReadJson(path);
    const Json::Value& section = DeviceSection(root, m_deviceIndex);
    if (section.isObject()) {
        return section;
    }
    const Json::Value templateRoot = JsonFile::ReadJson(m_fallbackPath);
    const Json::Value& fresh = DeviceSection(templateRoot, m_deviceIndex);
    if (!fresh.isObject()) {
        return Json::Value();  // nothing to repair with: leave the file alone
    }
    // Unreadable, not JSON, not an object or a "Device" of the wrong type:
    // whatever it was, the user keeps it; without a backup it is not replaced.
    if (!JsonFile::SafeToReplace(path)) {
        return fresh;
    }
    if (!root.isObject()) {
        root = RebuiltRoot(path);
    }
    PlaceSection(root, m_deviceIndex, fresh);
    WriteJson(root, path);
    return fresh;
}

Json::Value CBasicProfiledata::RebuiltRoot(const std::string& path) {
    // The name and identifier come back from the profile list.
    Json::Value root(Json::objectValue);
    const std::filesystem::path file(path);
    const std::string id = file.stem().string();
    if (const auto name = ProfileList::NameOf(file.parent_path().string(), id)) {
        root["profilename"] = *name;
        root["profileUUID"] = id;
    }
    return root;
}

const Json::Value& CBasicProfiledata::LoadSection(const std::string& path) {
    m_section = LoadRepaired(path);
    return m_section;
}

const Json::Value& CBasicProfiledata::LoadScratchSection(const std::string& path) {
    m_scratchSection = LoadRepaired(path);
    return m_scratchSection;
}

const Json::Value& CBasicProfiledata::LoadLightConfig(const std::string& path) {
    m_lightConfig = JsonFile::ReadJson(path);
    return m_lightConfig;
}

bool CBasicProfiledata::SaveSection(const Json::Value& section, const std::string& path) {
    Json::Value root = JsonFile::ReadJson(path);
    if (!root.isObject()) {
        if (!JsonFile::SafeToReplace(path)) {
            m_saveError = "the damaged profile file could not be kept as a backup";
            return false;
        }
        root = RebuiltRoot(path);
    }
    PlaceSection(root, m_deviceIndex, section);
    return WriteJson(root, path);
}

LightSetting CBasicProfiledata::GetLightInfo() {
    m_lightInfo = ReadRecord(json::Member(m_section, "LightInfo"), kLightInfoKeys);
    return m_lightInfo;
}

void CBasicProfiledata::SetLightInfo(const LightSetting& s) {
    m_lightInfo = s;
    Object(m_section)["LightInfo"] = WriteRecord(s, kLightInfoKeys);
}

AudioLightSetting CBasicProfiledata::GetAudioLightInfo() {
    m_audioLightInfo = ReadRecord(json::Member(m_section, "AudioLightInfo"), kAudioLightKeys);
    return m_audioLightInfo;
}

void CBasicProfiledata::SetAudioLightInfo(const AudioLightSetting& s) {
    m_audioLightInfo = s;
    Object(m_section)["AudioLightInfo"] = WriteRecord(s, kAudioLightKeys);
}

std::vector<LightSetting> CBasicProfiledata::GetLightList() {
    const Json::Value& list = json::Member(m_section, "LightList");
    std::vector<LightSetting> result;
    for (Json::ArrayIndex i = 0; list.isArray() && i < list.size(); ++i) {
        const Json::Value& entry = list[i];
        LightSetting s;
        if (entry.isObject()) {
            s = ReadRecord(entry, kLedKeys);
            s.present = 1;
        }
        result.push_back(s);
    }
    m_lightList = result;
    return result;
}

std::vector<LightEffectFrame> CBasicProfiledata::LoadCustomEffect() {
    return LoadCustomEffectAt(m_lightInfo.mode);
}

std::vector<LightEffectFrame> CBasicProfiledata::LoadCustomEffectAt(size_t entry) {
    m_effectFrames.clear();
    if (m_lightConfig.isNull()) {
        return {};
    }
    const Json::Value& modes =
        json::Element(json::Member(m_lightConfig, "LightInfo"), static_cast<size_t>(m_deviceIndex));
    const std::string name = json::String(json::Member(json::Element(modes, entry), "Guid"));
    const std::string folder = std::filesystem::path(m_profilePath).parent_path().string();
    const std::string path = EffectPath(folder, name);
    if (path.empty()) {
        return {};
    }
    const Json::Value effect = JsonFile::ReadJson(path);
    const Json::Value& list = json::Member(effect, "LEDEffectList");
    for (Json::ArrayIndex i = 0; list.isArray() && i < list.size(); ++i) {
        const Json::Value& entry = list[i];
        LightEffectFrame frame;
        frame.setting = ReadRecord(entry, kLedKeys, false);
        frame.time = json::Int(json::Member(entry, "Time"));
        frame.cycle = json::Int(json::Member(entry, "Cyle"));
        m_effectFrames.push_back(frame);
    }
    return m_effectFrames;
}

std::vector<KeyAssignmentEntry> CBasicProfiledata::ReadKeyList(
    const Json::Value& section, std::vector<KeyAssignmentEntry>& cache) {
    const Json::Value& list = json::Member(section, "KeyList");
    std::vector<KeyAssignmentEntry> result;
    for (Json::ArrayIndex i = 0; list.isArray() && i < list.size(); ++i) {
        const auto index = static_cast<uint16_t>(i);
        result.push_back({KeyAction::Unpack(index, json::Int(json::Member(list[i], "Assignment"))),
                          KeyAction::Unpack(index, json::Int(json::Member(list[i], "DefaultAssignment")))});
    }
    cache = result;
    return result;
}

void CBasicProfiledata::WriteKeyList(Json::Value& section, std::vector<KeyAssignmentEntry>& cache,
                                     const std::vector<KeyAssignmentEntry>& list) {
    cache = list;
    Json::Value& keys = Array(Object(section)["KeyList"]);
    for (size_t i = 0; i < list.size(); ++i) {
        Json::Value& entry = Object(keys[static_cast<Json::ArrayIndex>(i)]);
        entry["Assignment"] = list[i].assignment.Packed();
    }
}

}  // namespace kx520::profiles
