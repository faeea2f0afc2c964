#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "profiles/CBasicProfiledata.h"

namespace kx520::profiles {

// The headset's audio settings, "SystemSetStages" in its profile.
struct HeadsetSystemSettings {
    int32_t magicEnable = 0;       // voice changer on (1) or off (0)
    int32_t magicType = 0;         // 1-4 for the driver's voices 0-3; 0 none chosen
    int32_t eqType = 0;            // 0 none, 1-12 a fixed preset, 13 a user preset
    int32_t customEqIndex = 0;     // the chosen user preset
    int32_t micInSelect = 0;       // 1 microphone live, 0 muted
    int32_t micInValue = 0;        // microphone level 0-100
    int32_t micMonitorSelect = 0;  // 1 monitoring live, 0 muted
    int32_t micMonitorValue = 0;   // monitoring level 0-100

    friend bool operator==(const HeadsetSystemSettings&, const HeadsetSystemSettings&) = default;
};

// The headset's profile section: the shared sections plus its audio
// settings, the equaliser's preset slots and up to 20 named user presets.
// A user preset's name and its bands stay in step by index.
class CHs6533Profiledata : public CBasicProfiledata {
public:
    static constexpr size_t kBands = 10;
    static constexpr size_t kMostUserPresets = 20;
    static constexpr int kFixedPresets = 12;
    static constexpr int kUserPresetType = 13;
    using Bands = std::array<int32_t, kBands>;

    // The gains of fixed preset `eqType` (1-12), band 1 first.
    static const Bands& FixedPreset(int eqType);
    // The slot of "EQHzValueInfo" an eqType uses: itself for 1-12, slot 1 for
    // 0 and anything else but 13, which has none (-1).
    static int PresetSlot(int eqType);

    // All zeros without the section or its "SystemSetStages".
    HeadsetSystemSettings GetSystemSetStages();
    void SetSystemSetStages(const HeadsetSystemSettings& settings);
    // The settings as last read or set.
    const HeadsetSystemSettings& SystemSettings() const { return m_settings; }

    // Ten gains of eqType's slot, entries that are missing written as 0 on
    // the way; empty for the user preset type.
    std::vector<int32_t> GetEQBands(int eqType);
    // Nothing for the user preset type.
    void SetEQBands(int eqType, const Bands& bands);

    // At most 20, in list order.
    std::vector<std::string> GetCustomEQNames();
    void SetCustomEQNames(const std::vector<std::string>& names);
    // Ten gains of user preset `index`, completed as GetEQBands completes a
    // slot; empty for an index outside the name list.
    std::vector<int32_t> GetCustomEQBands(int index);
    // False, changing nothing, for an index outside the name list.
    bool SetCustomEQBands(int index, const Bands& bands);

    enum class PresetSaved { kSaved, kListFull, kNameTaken, kNoName };
    // A new user preset at the end of the list, name and bands together.
    // Refused when 20 exist or the name is taken, letter case aside.
    PresetSaved AddCustomPreset(const std::string& name, const Bands& bands);
    // Removes preset `index`'s name and bands; the later ones move down.
    bool DeleteCustomPreset(int index);

private:
    // The ten gains of the array at `holder`[`index`], completed.
    static std::vector<int32_t> ReadBands(Json::Value& holder, size_t index);
    static void WriteBands(Json::Value& holder, size_t index, const Bands& bands);
    Json::Value& Member(const char* key, Json::ValueType type);

    HeadsetSystemSettings m_settings;
};

}  // namespace kx520::profiles
