#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kx520::profiles {

// One profile of a device: its display name and its identifier (the file
// name of its profile, without ".Json").
struct ProfileEntry {
    std::string name;
    std::string id;
    // The name as the list file had it when that was not a string (JSON
    // text), written back as it was until the profile is renamed.
    std::string originalName;
};

// A device's list of profiles ("ProfileList.ini" in its data folder, JSON
// despite the name) and the profile files it names. The list in memory is
// the source of truth; every change writes the whole list atomically.
// Identifiers are plain file names: an entry whose identifier would leave
// the folder is dropped on reading.
class ProfileList {
public:
    static constexpr const char* kListFile = "ProfileList.ini";
    static constexpr size_t kMaxNewProfiles = 50;
    enum Kind { kKeyboard = 1, kMouse = 2, kMousePad = 3, kHeadset = 7 };
    enum RenameResult { kRenameInUse = 0, kRenamed = 1, kRenameBlank = 2, kRenameFailed = 3 };
    // Names given here (renames, imports) are cut to this many characters.
    static constexpr size_t kMaxNameCharacters = 64;

    // `folder`: the device's data folder; `templatePath`: its profile template.
    ProfileList(std::string folder, std::string templatePath, int kind);

    // Reads the list. A damaged one is kept as "ProfileList.ini.bak" and a
    // missing, damaged or empty one is rebuilt from the profile files in the
    // folder; only a folder without any starts afresh with "profile1" made
    // from the template. False when the list could not be written.
    bool Init();
    // Reads the list without creating or changing anything; false when
    // there is none (or none usable) yet.
    bool Read();

    const std::vector<ProfileEntry>& Entries() const { return m_entries; }
    // The selected profile (what the combo shows), -1 when none.
    int Selected() const { return m_selected; }
    // What "profileselect" says: the profile the next start selects.
    int StoredSelection() const { return m_storedSelection; }
    std::string CurrentId() const;
    std::string ProfilePath(const std::string& id) const { return m_folder + id + ".Json"; }
    std::string ListPath() const { return m_folder + kListFile; }
    const std::string& Folder() const { return m_folder; }
    int Kind() const { return m_kind; }
    // Index of `name` compared without regard to letter case, or -1.
    int FindName(const std::string& name, int except = -1) const;

    bool Select(int index);
    // False at 50 profiles (or when a file cannot be written).
    bool NewProfile();
    bool CopyProfile();
    RenameResult RenameProfile(const std::string& name);
    // Never removes the last profile.
    bool DeleteProfile();
    // Rewrites the selected profile from the template, keeping its name and
    // identifier (and a headset's own equalisers). False, with nothing
    // changed, when the template cannot be read.
    bool ResetProfile();
    // Adds a profile from a file: named after the file ("A", "A(1)",
    // "A(1)(2)", ...), with a fresh identifier. Refuses (false, `error`) a
    // file that is not a profile, too large or too deep.
    bool ImportProfile(const std::string& path, std::string* error = nullptr);
    // Writes the profile at `index` (-1: the selected one) to `path`; false
    // when it cannot be read or written.
    bool ExportProfile(const std::string& path, std::string* error = nullptr, int index = -1) const;

    // The name the list in `folder` gives identifier `id`, if any.
    static std::optional<std::string> NameOf(const std::string& folder, const std::string& id);
    static bool IsPlainId(const std::string& id);
    // `name` cut to kMaxNameCharacters, never inside a character.
    static std::string BoundedName(const std::string& name);

private:
    bool Load();
    // The list made from the profile files present, oldest first; false
    // when there are none.
    bool RebuildFromFiles();
    bool CreateFirstProfile();
    bool WriteList() const;
    // Writes a profile made from `content` (null: the template) under `entry`.
    bool WriteProfile(const ProfileEntry& entry, const std::string& sourcePath) const;
    std::string NewId() const;
    bool Append(const ProfileEntry& entry);
    // A new profile's file from `sourcePath`, then its entry in the list;
    // nothing of it is left when either write fails.
    bool AddProfile(const ProfileEntry& entry, const std::string& sourcePath);

    std::string m_folder;
    std::string m_templatePath;
    int m_kind;
    std::vector<ProfileEntry> m_entries;
    // Entries of the file that name no usable profile (JSON text): not
    // shown, but written back, so that nothing the user had is dropped.
    std::vector<std::string> m_unusableEntries;
    int m_selected = -1;
    int m_storedSelection = 0;
};

}  // namespace kx520::profiles
