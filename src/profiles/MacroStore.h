#pragma once

#include <json/value.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kx520::profiles {

// One macro of a device's list: its display name and its identifier (the
// name of its event file, without ".mac").
struct MacroEntry {
    std::string name;
    std::string id;
};

// One event as the editor shows it.
struct MacroAction {
    bool press = true;
    uint8_t button = 0;
    uint8_t type = 0;
    uint32_t delay = 0;
};

// The 4-byte form the devices take: delay low and high byte, type with bit
// 7 set for a press, button.
using MacroEventBytes = std::array<uint8_t, 4>;

// One row of the editor: the event object it holds (null for a row that
// holds none) and the delay text shown beside it.
struct MacroRow {
    Json::Value event;
    std::string delay;
};

// A device's macros: "macro.config" in its data folder lists them, one
// "<identifier>.mac" file each holds the events. Shared by the macro editor
// and the devices' macro download. Entries keep their places even when
// their identifier cannot name a file (a key's macro number is a place in
// this list); such a macro reads as empty and is never written.
class MacroStore {
public:
    static constexpr size_t kMaxMacros = 50;
    static constexpr size_t kMaxEvents = 250;
    static constexpr int kFileVersion = 64;
    static constexpr const char* kIndexFile = "macro.config";
    // What the headset and the mouse pad read their macro names from: a file
    // of the same layout that nothing of this program writes.
    static constexpr const char* kNamesOnlyIndexFile = "pelmo_macro.config";
    // The read-only list of the headset and the mouse pad.
    static constexpr const char* kSharedIndexFile = "pelmo_macro.config";
    static constexpr size_t kMaxNameBytes = 255;
    // Far above what 250 events take: a larger file is no macro.
    static constexpr size_t kMaxFileBytes = 1u << 20;
    // A delay is two bytes on the device.
    static constexpr uint32_t kMaxDelay = 65535;

    enum class RenameResult { kRenamed, kBlank, kInUse, kFailed };
    enum class SaveResult { kSaved, kTooManyEvents, kNoMacro, kFailed };

    // `folder`: the device's data folder, with or without its trailing slash.
    explicit MacroStore(std::string folder, std::string indexFile = kIndexFile);

    // Reads the index; a missing or damaged one is an empty list.
    void Load();
    const std::vector<MacroEntry>& Entries() const { return m_entries; }
    const std::string& Folder() const { return m_folder; }
    std::string IndexPath() const { return m_folder + m_indexFile; }
    // The event file of macro `index`; "" outside the list or when its
    // identifier is not a plain file name.
    std::string MacroPath(size_t index) const;
    // Index of `name` compared without regard to letter case, or -1.
    int FindName(const std::string& name, int except = -1) const;

    // Why the last change of the list or a macro file failed ("" after a
    // success): the limit, the file refused, or the system's reason.
    const std::string& LastError() const { return m_lastError; }

    // "macro_N" with the smallest free N; its index, or nothing at the
    // limit or when the index cannot be written.
    std::optional<size_t> NewMacro();
    // A copy of the macro file at `path` (absolute), named after the file
    // ("A", "A_2", ...). Refuses what ReadMacroFile refuses.
    std::optional<size_t> ImportMacro(const std::string& path, std::string* error = nullptr);
    // Macro `index` to `path` (absolute).
    bool ExportMacro(size_t index, const std::string& path) const;
    RenameResult RenameMacro(size_t index, const std::string& name);
    bool DeleteMacro(size_t index);
    // Writes `rows` as the events of macro `index` to `path` ("" = its own
    // file). Empty delays become "0" in the rows too; rows without an event
    // object are skipped. More than kMaxEvents rows write nothing.
    SaveResult SaveMacro(size_t index, std::vector<MacroRow>& rows,
                         const std::string& path = std::string()) const;

    // The document of a macro file, checked where it enters: a regular file
    // of at most kMaxFileBytes, a JSON object whose "Events" (when present)
    // is an array of at most kMaxEvents. Nothing, with why, otherwise.
    static std::optional<Json::Value> ReadMacroFile(const std::string& path, std::string* error = nullptr);
    // The rows of a macro file; empty for a missing or refused one.
    static std::vector<MacroRow> LoadMacroEvents(const std::string& path);
    // The events of macro `index` as the device takes them, at most `limit`.
    std::vector<MacroEventBytes> DeviceEvents(size_t index, size_t limit = kMaxEvents) const;
    // Event count of macro `index`'s file (0 when it cannot be read).
    size_t EventCount(size_t index) const;

    static MacroEventBytes ReadMacroEvent(const Json::Value& event);
    // The event of an object, or nothing when "Action" is neither "down" nor "up".
    static std::optional<MacroAction> ParseAction(const Json::Value& event);
    static Json::Value EventObject(const MacroAction& action);
    // The milliseconds of a delay given as decimal text or a number, at
    // most kMaxDelay; anything else or negative is 0.
    static uint32_t DelayOf(const Json::Value& delay);

private:
    bool WriteIndex() const;
    bool Fail(std::string why) const;
    std::string NewId() const;
    std::optional<size_t> Append(const MacroEntry& entry);
    bool ValidIndex(size_t index) const { return index < m_entries.size(); }

    std::string m_folder;
    std::string m_indexFile;
    std::vector<MacroEntry> m_entries;
    // The index document as read: keys besides "MacroInfo" and members of
    // an entry besides its name and identifier are written back unchanged.
    Json::Value m_root;
    mutable std::string m_lastError;
};

}  // namespace kx520::profiles
