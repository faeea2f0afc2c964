#include "profiles/ProfileList.h"

#include <json/writer.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/DebugTrace.h"
#include "platform/RegularFile.h"
#include "platform/SafeJson.h"
#include "platform/Utf8.h"
#include "profiles/JsonFile.h"

namespace kx520::profiles {

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n\f\v");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n\f\v") - first + 1);
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string CompactText(const Json::Value& value) {
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    writer["emitUTF8"] = true;  // bytes that are not UTF-8 stay as they are
    return Json::writeString(writer, value);
}

struct ReadList {
    std::vector<ProfileEntry> entries;
    std::vector<std::string> unusable;
};

ReadList ReadEntries(const Json::Value& root) {
    ReadList read;
    const Json::Value& list = json::Member(root, "profilelist");
    for (Json::ArrayIndex i = 0; list.isArray() && i < list.size(); ++i) {
        const Json::Value& nameValue = json::Member(list[i], "profilename");
        ProfileEntry entry{json::String(nameValue), json::String(json::Member(list[i], "profileUUID")),
                           ""};
        if (!ProfileList::IsPlainId(entry.id)) {
            DebugTrace("profile list entry with an unusable identifier kept but not shown: " +
                       CompactText(list[i]));
            read.unusable.push_back(CompactText(list[i]));
            continue;
        }
        if (!nameValue.isString()) {
            // Shown as its JSON text, kept as it was.
            entry.originalName = CompactText(nameValue);
            entry.name = nameValue.isNull() ? entry.id : entry.originalName;
        }
        if (!utf8::IsValid(entry.id) || !utf8::IsValid(entry.name)) {
            DebugTrace("profile " + entry.id + " is not named in UTF-8; kept as it is on disk");
        }
        read.entries.push_back(entry);
    }
    return read;
}

}  // namespace

ProfileList::ProfileList(std::string folder, std::string templatePath, int kind)
    : m_folder(WithSlash(std::move(folder))), m_templatePath(std::move(templatePath)), m_kind(kind) {}

std::string ProfileList::BoundedName(const std::string& name) {
    return name.substr(0, utf8::PrefixBytes(name, kMaxNameCharacters));
}

bool ProfileList::IsPlainId(const std::string& id) {
    return !id.empty() && id.find('/') == std::string::npos && id.front() != '.' &&
           id.find('\0') == std::string::npos;
}

std::optional<std::string> ProfileList::NameOf(const std::string& folder, const std::string& id) {
    const Json::Value root = JsonFile::ReadJson(WithSlash(folder) + kListFile);
    for (const ProfileEntry& entry : ReadEntries(root).entries) {
        if (entry.id == id) {
            return entry.name;
        }
    }
    return std::nullopt;
}

std::string ProfileList::CurrentId() const {
    if (m_selected < 0 || static_cast<size_t>(m_selected) >= m_entries.size()) {
        return {};
    }
    return m_entries[static_cast<size_t>(m_selected)].id;
}

int ProfileList::FindName(const std::string& name, int except) const {
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (static_cast<int>(i) != except && utf8::SameIgnoringCase(m_entries[i].name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Temporary files of writes that were cut off (a crash, a power cut) are
// never the real file. Only the form the atomic writer gives them is
// removed: ".<name>.kx520-tmp-XXXXXX".
static void RemoveStaleTemporaries(const std::string& folder) {
    std::error_code error;
    const std::string marker = JsonFile::kTemporaryMarker;
    for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = item.path().filename().string();
        const size_t at = name.rfind(marker);
        if (name.front() != '.' || at == std::string::npos || at < 2 ||
            name.size() != at + marker.size() + 6) {
            continue;
        }
        std::filesystem::remove(item.path(), error);
    }
}

bool ProfileList::Init() {
    std::filesystem::create_directories(m_folder);
    RemoveStaleTemporaries(m_folder);
    if (Load()) {
        m_selected = m_storedSelection;
        return true;
    }
    // Damaged or emptied: the user keeps the old list and every profile.
    if (!JsonFile::SafeToReplace(ListPath())) {
        DebugTrace("no backup could be kept of " + ListPath() + "; it is rebuilt all the same");
    }
    if (RebuildFromFiles()) {
        DebugTrace("profile list rebuilt from the " + std::to_string(m_entries.size()) +
                   " profile files in " + m_folder);
        return WriteList();
    }
    return CreateFirstProfile();
}

bool ProfileList::RebuildFromFiles() {
    std::vector<ProfileEntry> found;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(m_folder, error)) {
        const std::string file = item.path().filename().string();
        constexpr std::string_view kExtension = ".Json";
        if (!file.ends_with(kExtension) || !IsRegularFile(item.path().string())) {
            continue;
        }
        const std::string id = file.substr(0, file.size() - kExtension.size());
        if (!IsPlainId(id)) {
            continue;
        }
        const std::string name =
            json::String(json::Member(JsonFile::ReadJson(item.path().string()), "profilename"));
        found.push_back(ProfileEntry{name.empty() ? id : name, id, ""});
    }
    if (found.empty()) {
        return false;
    }
    // Identifiers are creation times.
    std::sort(found.begin(), found.end(),
              [](const ProfileEntry& a, const ProfileEntry& b) { return a.id < b.id; });
    m_entries = std::move(found);
    m_unusableEntries.clear();
    m_storedSelection = 0;
    m_selected = 0;
    return true;
}

bool ProfileList::Read() {
    if (!Load()) {
        return false;
    }
    m_selected = m_storedSelection;
    return true;
}

bool ProfileList::Load() {
    const Json::Value root = JsonFile::ReadJson(ListPath());
    ReadList read = ReadEntries(root);
    m_entries = std::move(read.entries);
    m_unusableEntries = std::move(read.unusable);
    if (m_entries.empty()) {
        return false;
    }
    const int stored = json::Int(json::Member(root, "profileselect"));
    // A hand-edited selection outside the list selects the first profile.
    m_storedSelection = stored >= 0 && static_cast<size_t>(stored) < m_entries.size() ? stored : 0;
    return true;
}

bool ProfileList::CreateFirstProfile() {
    const ProfileEntry first{"profile1", NewId(), ""};
    m_entries.clear();
    m_storedSelection = 0;
    const bool added = AddProfile(first, m_templatePath);
    m_selected = 0;
    return added;
}

bool ProfileList::WriteList() const {
    Json::Value root(Json::objectValue);
    Json::Value& list = root["profilelist"] = Json::Value(Json::arrayValue);
    for (const ProfileEntry& entry : m_entries) {
        Json::Value item(Json::objectValue);
        const auto original =
            entry.originalName.empty() ? std::nullopt : json::Parse(entry.originalName);
        item["profilename"] = original ? *original : Json::Value(entry.name);
        item["profileUUID"] = entry.id;
        item["profileislink"] = 0;
        item["profilelinkmame"] = "";
        list.append(item);
    }
    for (const std::string& kept : m_unusableEntries) {
        if (const auto item = json::Parse(kept)) {
            list.append(*item);
        }
    }
    root["profileselect"] = m_storedSelection;
    return JsonFile::WriteJson(ListPath(), root);
}

bool ProfileList::WriteProfile(const ProfileEntry& entry, const std::string& sourcePath) const {
    Json::Value content = JsonFile::ReadJson(sourcePath);
    if (!content.isObject()) {
        content = Json::Value(Json::objectValue);  // no template: name and identifier only
    }
    content["profilename"] = entry.name;
    content["profileUUID"] = entry.id;
    return JsonFile::WriteJson(ProfilePath(entry.id), content);
}

std::string ProfileList::NewId() const {
    return JsonFile::FreshName([this](const std::string& candidate) {
        return JsonFile::Exists(ProfilePath(candidate)) ||
               std::any_of(m_entries.begin(), m_entries.end(),
                           [&candidate](const ProfileEntry& e) { return e.id == candidate; });
    });
}

bool ProfileList::AddProfile(const ProfileEntry& entry, const std::string& sourcePath) {
    // The file first: the list never names a profile that is not there.
    if (!WriteProfile(entry, sourcePath)) {
        return false;
    }
    m_entries.push_back(entry);
    if (WriteList()) {
        return true;
    }
    m_entries.pop_back();
    ::unlink(ProfilePath(entry.id).c_str());  // our own new file, named by nothing
    return false;
}

bool ProfileList::Append(const ProfileEntry& entry) {
    m_entries.push_back(entry);
    if (WriteList()) {
        return true;
    }
    m_entries.pop_back();
    return false;
}

bool ProfileList::Select(int index) {
    if (index < 0 || static_cast<size_t>(index) >= m_entries.size()) {
        return false;
    }
    m_selected = index;
    m_storedSelection = index;
    return WriteList();
}

bool ProfileList::NewProfile() {
    if (m_entries.size() >= kMaxNewProfiles) {
        return false;
    }
    std::string name;
    for (int n = 1;; ++n) {
        name = "profile" + std::to_string(n);
        if (FindName(name) < 0) {
            break;
        }
    }
    const ProfileEntry entry{name, NewId(), ""};
    // The next start selects the new profile; the one shown stays.
    const int stored = m_storedSelection;
    m_storedSelection = static_cast<int>(m_entries.size());
    if (AddProfile(entry, m_templatePath)) {
        return true;
    }
    m_storedSelection = stored;
    return false;
}

bool ProfileList::CopyProfile() {
    const std::string source = CurrentId();
    if (source.empty()) {
        return false;
    }
    std::string name = m_entries[static_cast<size_t>(m_selected)].name + " copy";
    while (FindName(name) >= 0) {
        name += " copy";
    }
    const ProfileEntry entry{name, NewId(), ""};
    return AddProfile(entry, ProfilePath(source));
}

ProfileList::RenameResult ProfileList::RenameProfile(const std::string& name) {
    if (Trimmed(name).empty()) {
        return kRenameBlank;
    }
    const std::string bounded = BoundedName(name);
    if (m_selected < 0 || FindName(bounded, m_selected) >= 0) {
        return kRenameInUse;
    }
    ProfileEntry& entry = m_entries[static_cast<size_t>(m_selected)];
    const ProfileEntry before = entry;
    entry.name = bounded;
    entry.originalName.clear();
    if (!WriteList()) {
        entry = before;  // the list on disk still has the old name
        return kRenameFailed;
    }
    const std::string path = ProfilePath(entry.id);
    Json::Value content = JsonFile::ReadJson(path);
    // A damaged profile is left for the next save to rebuild from the list.
    if (content.isObject()) {
        content["profilename"] = entry.name;
        JsonFile::WriteJson(path, content);
    }
    return kRenamed;
}

bool ProfileList::DeleteProfile() {
    if (m_selected < 0 || m_entries.size() < 2) {
        return false;
    }
    const int next = m_selected == 0 ? 0 : m_selected - 1;
    const int was = m_selected;
    const int stored = m_storedSelection;
    const ProfileEntry removed = m_entries[static_cast<size_t>(m_selected)];
    m_entries.erase(m_entries.begin() + m_selected);
    m_storedSelection = next;
    m_selected = next;
    if (!WriteList()) {
        // Nothing changed on disk: nor here.
        m_entries.insert(m_entries.begin() + was, removed);
        m_selected = was;
        m_storedSelection = stored;
        return false;
    }
    // A list can name one file twice (edited by hand): the file stays while
    // another entry still names it.
    const bool shared = std::any_of(m_entries.begin(), m_entries.end(),
                                    [&removed](const ProfileEntry& e) { return e.id == removed.id; });
    if (!shared) {
        ::unlink(ProfilePath(removed.id).c_str());
    }
    return true;
}

bool ProfileList::ResetProfile() {
    if (m_selected < 0) {
        return false;
    }
    const ProfileEntry& entry = m_entries[static_cast<size_t>(m_selected)];
    Json::Value fresh = JsonFile::ReadJson(m_templatePath);
    if (!fresh.isObject()) {
        return false;  // never wipe a profile without something to put back
    }
    fresh["profilename"] = entry.name;
    fresh["profileUUID"] = entry.id;
    if (m_kind == kHeadset) {
        // The user's own equaliser presets survive a reset.
        const Json::Value current = JsonFile::ReadJson(ProfilePath(entry.id));
        const Json::Value& section = json::Element(json::Member(current, "Device"), 0);
        Json::Value& target = fresh["Device"];
        if (section.isObject() && target.isArray() && target.size() > 0 && target[0].isObject()) {
            for (const char* key : {"CustomEQNameInfo", "CustomEQHzValueInfo"}) {
                if (section.isMember(key)) {
                    target[0][key] = section[key];
                }
            }
        }
    }
    return JsonFile::WriteJson(ProfilePath(entry.id), fresh);
}

bool ProfileList::ImportProfile(const std::string& path, std::string* error) {
    auto content = json::ReadFile(path, error);
    if (!content) {
        return false;
    }
    if (!content->isObject() || !json::Member(*content, "profilename").isString() ||
        !json::Member(*content, "profileUUID").isString()) {
        if (error != nullptr) {
            *error = path + " is not a profile (no \"profilename\" and \"profileUUID\")";
        }
        return false;
    }
    std::string name = BoundedName(std::filesystem::path(path).stem().string());
    for (int counter = 1; FindName(name) >= 0; ++counter) {
        name += "(" + std::to_string(counter) + ")";
    }
    const ProfileEntry entry{name, NewId(), ""};
    (*content)["profilename"] = entry.name;
    (*content)["profileUUID"] = entry.id;
    std::string why;
    if (!JsonFile::WriteJson(ProfilePath(entry.id), *content, &why)) {
        if (error != nullptr) {
            *error = "cannot write into " + m_folder + ": " + why;
        }
        return false;
    }
    if (!Append(entry)) {
        ::unlink(ProfilePath(entry.id).c_str());
        if (error != nullptr) {
            *error = "cannot write " + ListPath();
        }
        return false;
    }
    ::unlink((m_folder + ".Json").c_str());  // a profile with an empty identifier
    return true;
}

bool ProfileList::ExportProfile(const std::string& path, std::string* error, int index) const {
    if (index < 0) {
        index = m_selected;
    }
    const std::string id = index >= 0 && static_cast<size_t>(index) < m_entries.size()
                               ? m_entries[static_cast<size_t>(index)].id
                               : std::string();
    const Json::Value content = id.empty() ? Json::Value() : JsonFile::ReadJson(ProfilePath(id));
    if (!content.isObject()) {
        if (error != nullptr) {
            *error = "the selected profile cannot be read";
        }
        return false;
    }
    if (!JsonFile::WriteJson(path, content)) {
        if (error != nullptr) {
            *error = "cannot write " + path;
        }
        return false;
    }
    return true;
}

}  // namespace kx520::profiles
