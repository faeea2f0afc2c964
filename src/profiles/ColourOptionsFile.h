#pragma once

#include <json/value.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kx520::profiles {

// The colour palette's own file ("color_option_info.config"): the preset
// chosen last and the colours the user collected into the 20 slotList. Colours
// are 8 upper-case hex digits, alpha first. Saving changes only its own
// keys; whatever else the file holds stays.
class ColourOptionsFile {
public:
    static constexpr size_t kOptions = 20;
    static constexpr const char* kFileName = "color_option_info.config";

    struct Slot {
        uint32_t colour = 0xFFFFFFFF;
        std::string userData;  // "1" for a collected colour
        bool Collected() const;
    };
    // What a file gives the palette; entries it lacks are empty.
    struct Contents {
        std::optional<int> preset;
        std::array<std::optional<Slot>, kOptions> slotList;
        // A stored slot selection: no slot is selected when the palette opens.
        bool slotSelectionStored = false;
    };

    ColourOptionsFile(std::string userPath, std::string templatePath);

    // The user copy, made from the template when it is missing or
    // unreadable (a null document when the template is missing too).
    void Open() const;
    Contents Load() const;
    // `present[i]`: whether the palette has option i (the others are
    // neither written nor read). The file is read again first: a copy
    // damaged meanwhile is kept as .bak and the template's keys stand in for
    // it. False, with why in `error`, when nothing was written.
    bool SavePresets(const std::array<uint32_t, kOptions>& colours, const std::array<bool, kOptions>& present,
                     int selected, std::string* error = nullptr) const;
    bool SaveSlots(const std::array<Slot, kOptions>& slotList, const std::array<bool, kOptions>& present,
                   int selected, std::string* error = nullptr) const;

    static std::string HexColour(uint32_t argb);
    static std::optional<uint32_t> ParseColour(const std::string& text);

private:
    Json::Value Root() const;
    // The document a save changes; nothing when a damaged copy could not be kept.
    std::optional<Json::Value> RootToChange(std::string* error) const;
    bool Write(const Json::Value& root, std::string* error = nullptr) const;

    std::string m_userPath;
    std::string m_templatePath;
};

}  // namespace kx520::profiles
