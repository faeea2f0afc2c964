#include "profiles/MacroStore.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/RegularFile.h"
#include "platform/SafeJson.h"
#include "platform/Utf8.h"
#include "profiles/JsonFile.h"
#include "profiles/ProfileList.h"

namespace kx520::profiles {

namespace {

constexpr const char* kInfoKey = "MacroInfo";
constexpr const char* kEventsKey = "Events";

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

bool Blank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n\f\v") == std::string::npos;
}

std::string Bounded(const std::string& name) {
    return name.substr(0, utf8::PrefixBytes(name, MacroStore::kMaxNameBytes));
}

Json::Value EntryObject(const MacroEntry& entry) {
    Json::Value item(Json::objectValue);
    item["MacroName"] = entry.name;
    item["Guid"] = entry.id;
    return item;
}

}  // namespace

MacroStore::MacroStore(std::string folder, std::string indexFile)
    : m_folder(WithSlash(std::move(folder))), m_indexFile(std::move(indexFile)) {
    m_root = Json::Value(Json::objectValue);
}

void MacroStore::Load() {
    m_entries.clear();
    m_root = JsonFile::ReadJson(IndexPath());
    if (!m_root.isObject()) {
        m_root = Json::Value(Json::objectValue);
    }
    Json::Value& info = m_root[kInfoKey];
    if (!info.isArray()) {
        info = Json::Value(Json::arrayValue);
    }
    for (const Json::Value& item : info) {
        m_entries.push_back(MacroEntry{json::String(json::Member(item, "MacroName")),
                                       json::String(json::Member(item, "Guid"))});
    }
}

std::string MacroStore::MacroPath(size_t index) const {
    if (!ValidIndex(index) || !ProfileList::IsPlainId(m_entries[index].id)) {
        return {};
    }
    return m_folder + m_entries[index].id + ".mac";
}

int MacroStore::FindName(const std::string& name, int except) const {
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (static_cast<int>(i) != except && utf8::SameIgnoringCase(m_entries[i].name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool MacroStore::WriteIndex() const {
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    std::string why;
    if (JsonFile::WriteJson(IndexPath(), m_root, &why)) {
        m_lastError.clear();
        return true;
    }
    return Fail(std::string(kIndexFile) + " could not be written: " + why);
}

bool MacroStore::Fail(std::string why) const {
    m_lastError = std::move(why);
    return false;
}

std::string MacroStore::NewId() const {
    return JsonFile::FreshName([this](const std::string& candidate) {
        if (JsonFile::Exists(m_folder + candidate + ".mac")) {
            return true;
        }
        for (const MacroEntry& entry : m_entries) {
            if (entry.id == candidate) {
                return true;
            }
        }
        return false;
    });
}

std::optional<size_t> MacroStore::Append(const MacroEntry& entry) {
    m_root[kInfoKey].append(EntryObject(entry));
    m_entries.push_back(entry);
    if (!WriteIndex()) {
        m_entries.pop_back();
        Json::Value removed;
        m_root[kInfoKey].removeIndex(m_root[kInfoKey].size() - 1, &removed);
        return std::nullopt;
    }
    return m_entries.size() - 1;
}

std::optional<size_t> MacroStore::NewMacro() {
    m_lastError.clear();
    if (m_entries.size() >= kMaxMacros) {
        Fail("the list already holds " + std::to_string(kMaxMacros) + " macros");
        return std::nullopt;
    }
    std::string name;
    for (size_t n = 1;; ++n) {
        name = "macro_" + std::to_string(n);
        if (FindName(name) < 0) {
            break;
        }
    }
    return Append(MacroEntry{name, NewId()});
}

std::optional<size_t> MacroStore::ImportMacro(const std::string& path, std::string* error) {
    m_lastError.clear();
    auto fail = [this, error](const std::string& why) -> std::optional<size_t> {
        Fail(why);
        if (error != nullptr) {
            *error = why;
        }
        return std::nullopt;
    };
    if (path.empty() || path[0] != '/') {
        return fail("a macro file is given by its absolute path, not '" + path + "'");
    }
    if (m_entries.size() >= kMaxMacros) {
        return fail("the list already holds " + std::to_string(kMaxMacros) + " macros");
    }
    std::string refused;
    const auto document = ReadMacroFile(path, &refused);
    if (!document) {
        return fail(refused);
    }
    const std::string base = Bounded(std::filesystem::path(path).stem().string());
    std::string name = base.empty() ? std::string("macro") : base;
    for (int n = 2; FindName(name) >= 0; ++n) {
        name = base + "_" + std::to_string(n);
    }
    const MacroEntry entry{name, NewId()};
    // The copy goes first, so the index never names a file that is not there.
    const std::string target = m_folder + entry.id + ".mac";
    std::error_code ignored;
    std::filesystem::create_directories(m_folder, ignored);
    errno = 0;
    if (!JsonFile::CopyFile(path, target)) {
        return fail("the macro could not be written into " + m_folder + ": " +
                    std::strerror(errno != 0 ? errno : EIO));
    }
    const auto index = Append(entry);
    if (!index) {
        std::remove(target.c_str());
        return fail(m_lastError);
    }
    return index;
}

bool MacroStore::ExportMacro(size_t index, const std::string& path) const {
    m_lastError.clear();
    if (path.empty() || path[0] != '/') {
        return Fail("a macro file is given by its absolute path, not '" + path + "'");
    }
    const std::string source = MacroPath(index);
    if (source.empty()) {
        return Fail("the macro has no file of its own");
    }
    std::error_code ignored;
    if (!std::filesystem::exists(source, ignored)) {
        // A macro never saved has no file yet: it goes out as what it is, empty.
        std::vector<MacroRow> none;
        return SaveMacro(index, none, path) == SaveResult::kSaved;
    }
    std::string why;
    if (!ReadMacroFile(source, &why)) {
        return Fail(why);
    }
    errno = 0;
    if (!JsonFile::CopyFile(source, path)) {
        return Fail(path + " could not be written: " + std::strerror(errno != 0 ? errno : EIO));
    }
    m_lastError.clear();
    return true;
}

MacroStore::RenameResult MacroStore::RenameMacro(size_t index, const std::string& name) {
    m_lastError.clear();
    if (!ValidIndex(index)) {
        return RenameResult::kFailed;
    }
    if (Blank(name)) {
        return RenameResult::kBlank;
    }
    const std::string bounded = Bounded(name);
    if (FindName(bounded, static_cast<int>(index)) >= 0) {
        return RenameResult::kInUse;
    }
    Json::Value& item = m_root[kInfoKey][static_cast<Json::ArrayIndex>(index)];
    const Json::Value before = item;
    if (!item.isObject()) {
        item = EntryObject(m_entries[index]);
    }
    item["MacroName"] = bounded;
    if (!WriteIndex()) {
        item = before;
        return RenameResult::kFailed;
    }
    m_entries[index].name = bounded;
    return RenameResult::kRenamed;
}

bool MacroStore::DeleteMacro(size_t index) {
    m_lastError.clear();
    if (!ValidIndex(index)) {
        return false;
    }
    const std::string file = MacroPath(index);
    Json::Value removed;
    m_root[kInfoKey].removeIndex(static_cast<Json::ArrayIndex>(index), &removed);
    if (!WriteIndex()) {
        Load();  // what the disk still says
        return false;
    }
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    if (!file.empty()) {
        std::remove(file.c_str());
    }
    return true;
}

MacroStore::SaveResult MacroStore::SaveMacro(size_t index, std::vector<MacroRow>& rows,
                                             const std::string& path) const {
    m_lastError.clear();
    if (rows.size() > kMaxEvents) {
        return SaveResult::kTooManyEvents;
    }
    if (!ValidIndex(index)) {
        return SaveResult::kNoMacro;
    }
    const std::string target = path.empty() ? MacroPath(index) : path;
    if (target.empty()) {
        return SaveResult::kFailed;
    }
    Json::Value root(Json::objectValue);
    const MacroEntry& entry = m_entries[index];
    if (!entry.id.empty()) {
        root["MacroName"] = entry.name;
        root["Guid"] = entry.id;
    }
    Json::Value events(Json::arrayValue);
    for (MacroRow& row : rows) {
        if (Blank(row.delay)) {
            row.delay = "0";
        }
        row.delay = std::to_string(DelayOf(Json::Value(row.delay)));
        if (!row.event.isObject()) {
            continue;  // a row without an event is not the end of the macro
        }
        Json::Value event = row.event;
        event["Delay"] = row.delay;
        events.append(event);
    }
    root[kEventsKey] = events;
    root["Version"] = kFileVersion;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(target).parent_path(), ignored);
    std::string why;
    if (!JsonFile::WriteJson(target, root, &why)) {
        Fail("the macro could not be saved: " + why);
        return SaveResult::kFailed;
    }
    m_lastError.clear();
    return SaveResult::kSaved;
}

std::optional<Json::Value> MacroStore::ReadMacroFile(const std::string& path, std::string* error) {
    auto fail = [error](const std::string& why) -> std::optional<Json::Value> {
        if (error != nullptr) {
            *error = why;
        }
        return std::nullopt;
    };
    if (!IsRegularFile(path)) {
        return fail(path + " is not a file");
    }
    std::string why;
    auto document = json::ReadFile(path, &why, json::ParseLimits{kMaxFileBytes, json::ParseLimits{}.maxDepth});
    if (!document) {
        return fail(path + " is not a macro file (" + why + ")");
    }
    if (!document->isObject()) {
        return fail(path + " is not a macro file (not a JSON object)");
    }
    const Json::Value& events = json::Member(*document, kEventsKey);
    if (!events.isNull() && !events.isArray()) {
        return fail(path + " is not a macro file (its \"Events\" are not a list)");
    }
    if (events.size() > kMaxEvents) {
        return fail(path + " holds " + std::to_string(events.size()) + " events; a macro holds at most " +
                    std::to_string(kMaxEvents));
    }
    return document;
}

std::vector<MacroRow> MacroStore::LoadMacroEvents(const std::string& path) {
    std::vector<MacroRow> rows;
    if (path.empty()) {
        return rows;
    }
    const Json::Value root = ReadMacroFile(path).value_or(Json::Value());
    const Json::Value& events = json::Member(root, kEventsKey);
    if (!events.isArray()) {
        return rows;
    }
    for (const Json::Value& event : events) {
        if (!event.isObject()) {
            continue;
        }
        rows.push_back(MacroRow{event, std::to_string(DelayOf(json::Member(event, "Delay")))});
    }
    return rows;
}

size_t MacroStore::EventCount(size_t index) const {
    const Json::Value root = ReadMacroFile(MacroPath(index)).value_or(Json::Value());
    const Json::Value& events = json::Member(root, kEventsKey);
    return events.isArray() ? events.size() : 0;
}

std::vector<MacroEventBytes> MacroStore::DeviceEvents(size_t index, size_t limit) const {
    std::vector<MacroEventBytes> bytes;
    const std::string path = MacroPath(index);
    if (path.empty()) {
        return bytes;
    }
    const Json::Value root = ReadMacroFile(path).value_or(Json::Value());
    const Json::Value& events = json::Member(root, kEventsKey);
    if (!events.isArray()) {
        return bytes;
    }
    for (const Json::Value& event : events) {
        if (bytes.size() >= limit) {
            break;
        }
        bytes.push_back(ReadMacroEvent(event));
    }
    return bytes;
}

uint32_t MacroStore::DelayOf(const Json::Value& delay) {
    // Longer delays stop at what the device's two bytes hold, never wrap.
    if (delay.isString()) {
        const std::string text = delay.asString();
        if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
            return 0;
        }
        return text.size() > 5 ? kMaxDelay
                               : static_cast<uint32_t>(std::min<unsigned long>(std::stoul(text), kMaxDelay));
    }
    if (delay.isUInt64()) {
        return static_cast<uint32_t>(std::min<uint64_t>(delay.asUInt64(), kMaxDelay));
    }
    if (delay.isDouble() && delay.asDouble() >= 0) {
        return delay.asDouble() >= kMaxDelay ? kMaxDelay : static_cast<uint32_t>(delay.asDouble());
    }
    return 0;
}

MacroEventBytes MacroStore::ReadMacroEvent(const Json::Value& event) {
    const uint32_t delay = DelayOf(json::Member(event, "Delay"));
    const bool press = json::String(json::Member(event, "Action")) == "down";
    const auto type = static_cast<uint8_t>(json::Int(json::Member(event, "Type")));
    return MacroEventBytes{static_cast<uint8_t>(delay & 0xFF), static_cast<uint8_t>((delay >> 8) & 0xFF),
                           static_cast<uint8_t>((type & 0x7F) | (press ? 0x80 : 0x00)),
                           static_cast<uint8_t>(json::Int(json::Member(event, "Button")))};
}

std::optional<MacroAction> MacroStore::ParseAction(const Json::Value& event) {
    const std::string action = json::String(json::Member(event, "Action"));
    if (action != "down" && action != "up") {
        return std::nullopt;
    }
    MacroAction parsed;
    parsed.press = action == "down";
    parsed.button = static_cast<uint8_t>(json::Int(json::Member(event, "Button")));
    parsed.type = static_cast<uint8_t>(json::Int(json::Member(event, "Type")) & 0x7F);
    parsed.delay = DelayOf(json::Member(event, "Delay"));
    return parsed;
}

Json::Value MacroStore::EventObject(const MacroAction& action) {
    Json::Value event(Json::objectValue);
    event["Action"] = action.press ? "down" : "up";
    event["Button"] = action.button;
    event["Type"] = action.type & 0x7F;
    event["Delay"] = std::to_string(action.delay);
    return event;
}

}  // namespace kx520::profiles
