#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kx520 {

// The name lists a device shows on its pages: macro names, built-in light
// effects (with their visibility and the device's code for each), light
// areas and custom effects. Filled from the shipped "default_light.json",
// the device's macro index and its light configuration file.
class DefaultNameLists {
public:
    static constexpr const char* kDefaultLightFile = "default_light.json";
    static constexpr const char* kLightConfigFile = "pelmo_light.config";

    // `kind`: the device's kind number (0 keyboard, 1 mouse, 2 mouse pad,
    // 3 headset); folders end with '/'. A list whose source is missing or
    // broken keeps what it held; the macro names are always read afresh.
    void Load(int kind, const std::string& dataFolder, const std::string& defaultFolder,
              const std::string& macroIndexFile);

    const std::vector<std::string>& MacroNames() const { return m_macroNames; }
    const std::vector<std::string>& EffectNames() const { return m_effectNames; }
    const std::vector<bool>& EffectVisible() const { return m_effectVisible; }
    // The device's code of each effect: the mode list.
    const std::vector<uint32_t>& EffectValues() const { return m_effectValues; }
    const std::vector<std::string>& AreaNames() const { return m_areaNames; }
    const std::vector<std::string>& CustomEffectNames() const { return m_customEffectNames; }

    // The code of effect `position`, or nothing outside the list.
    bool CodeOf(size_t position, uint32_t& code) const;
    // The position of code `code`, or -1 when no effect has it.
    int PositionOf(uint32_t code) const;

private:
    std::vector<std::string> m_macroNames;
    std::vector<std::string> m_effectNames;
    std::vector<bool> m_effectVisible;
    std::vector<uint32_t> m_effectValues;
    std::vector<std::string> m_areaNames;
    std::vector<std::string> m_customEffectNames;
};

}  // namespace kx520
