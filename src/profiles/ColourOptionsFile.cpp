#include "profiles/ColourOptionsFile.h"

#include <charconv>
#include <cstdio>
#include <utility>

#include "platform/SafeJson.h"
#include "platform/Utf8.h"
#include "profiles/JsonFile.h"

namespace kx520::profiles {

namespace {

constexpr const char* kRoot = "coloroptioninfo";
constexpr const char* kPresets = "palletDialogcoloroption";
constexpr const char* kPresetSelection = "palletDialogcoloroption_selectitem";
constexpr const char* kSlots = "palletDialogcollectcoloroption";
constexpr const char* kSlotSelection = "palletDialogcollectcoloroption_selectitem";

// The object at root[kRoot][key], made an object (or array) when it is
// anything else: a damaged part of the file is replaced, the rest kept.
Json::Value& Section(Json::Value& root, const char* key, Json::ValueType type) {
    if (!root.isObject()) {
        root = Json::Value(Json::objectValue);
    }
    Json::Value& info = root[kRoot];
    if (!info.isObject()) {
        info = Json::Value(Json::objectValue);
    }
    Json::Value& section = info[key];
    if (section.type() != type) {
        section = Json::Value(type);
    }
    return section;
}

// Element `i` of `array`, made an object when it is anything else.
Json::Value& EntryAt(Json::Value& array, size_t i) {
    Json::Value& entry = array[static_cast<Json::ArrayIndex>(i)];
    if (!entry.isObject()) {
        entry = Json::Value(Json::objectValue);
    }
    return entry;
}

}  // namespace

bool ColourOptionsFile::Slot::Collected() const {
    return utf8::SameIgnoringCase(userData, "1");
}

ColourOptionsFile::ColourOptionsFile(std::string userPath, std::string templatePath)
    : m_userPath(std::move(userPath)), m_templatePath(std::move(templatePath)) {}

Json::Value ColourOptionsFile::Root() const {
    return JsonFile::ReadJson(m_userPath);
}

bool ColourOptionsFile::Write(const Json::Value& root, std::string* error) const {
    return JsonFile::WriteJson(m_userPath, root, error);
}

std::optional<Json::Value> ColourOptionsFile::RootToChange(std::string* error) const {
    Json::Value root = Root();
    if (root.isObject()) {
        return root;
    }
    if (!JsonFile::SafeToReplace(m_userPath)) {
        if (error != nullptr) {
            *error = "the damaged " + std::string(kFileName) + " could not be kept as a backup";
        }
        return std::nullopt;
    }
    root = JsonFile::ReadJson(m_templatePath);
    return root.isObject() ? root : Json::Value(Json::objectValue);
}

void ColourOptionsFile::Open() const {
    if (!Root().isNull()) {
        return;
    }
    if (JsonFile::Exists(m_userPath) && JsonFile::KeepBackup(m_userPath).empty()) {
        return;  // a damaged copy that could not be kept is left alone
    }
    Write(JsonFile::ReadJson(m_templatePath));
}

ColourOptionsFile::Contents ColourOptionsFile::Load() const {
    Contents contents;
    const Json::Value root = Root();
    const Json::Value& info = json::Member(root, kRoot);
    if (const Json::Value& preset = json::Member(info, kPresetSelection); !preset.isNull()) {
        contents.preset = json::Int(preset);
    }
    contents.slotSelectionStored = !json::Member(info, kSlotSelection).isNull();
    const Json::Value& slotList = json::Member(info, kSlots);
    for (size_t i = 0; i < kOptions; ++i) {
        const Json::Value& entry = json::Element(slotList, i);
        const Json::Value& colour = json::Member(entry, "color");
        if (colour.isNull()) {
            continue;
        }
        Slot slot;
        slot.userData = json::String(json::Member(entry, "UserData"));
        if (slot.Collected()) {
            slot.colour = ParseColour(json::String(colour)).value_or(0xFFFFFFFF);
        }
        contents.slotList[i] = slot;
    }
    return contents;
}

bool ColourOptionsFile::SavePresets(const std::array<uint32_t, kOptions>& colours,
                                    const std::array<bool, kOptions>& present, int selected,
                                    std::string* error) const {
    std::optional<Json::Value> changed = RootToChange(error);
    if (!changed) {
        return false;
    }
    Json::Value& root = *changed;
    Json::Value& presets = Section(root, kPresets, Json::arrayValue);
    for (size_t i = 0; i < kOptions; ++i) {
        if (present[i]) {
            EntryAt(presets, i)["color"] = HexColour(colours[i]);
        }
    }
    root[kRoot][kPresetSelection] = selected;
    return Write(root, error);
}

bool ColourOptionsFile::SaveSlots(const std::array<Slot, kOptions>& slotList, const std::array<bool, kOptions>& present,
                                  int selected, std::string* error) const {
    std::optional<Json::Value> changed = RootToChange(error);
    if (!changed) {
        return false;
    }
    Json::Value& root = *changed;
    Json::Value& stored = Section(root, kSlots, Json::arrayValue);
    for (size_t i = 0; i < kOptions; ++i) {
        if (present[i]) {
            Json::Value& entry = EntryAt(stored, i);
            entry["color"] = HexColour(slotList[i].colour);
            entry["UserData"] = slotList[i].userData;
        }
    }
    root[kRoot][kSlotSelection] = selected;
    return Write(root, error);
}

std::string ColourOptionsFile::HexColour(uint32_t argb) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", argb);
    return text;
}

std::optional<uint32_t> ColourOptionsFile::ParseColour(const std::string& text) {
    uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value, 16);
    if (text.empty() || text.size() > 8 || error != std::errc() || last != end) {
        return std::nullopt;
    }
    return value;
}

}  // namespace kx520::profiles
