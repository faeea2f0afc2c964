#include "devicebase/DefaultNameLists.h"

#include "platform/SafeJson.h"
#include "profiles/JsonFile.h"
#include "profiles/MacroStore.h"

namespace kx520 {

namespace {

const Json::Value& KindList(const Json::Value& root, const char* key, int kind) {
    return json::Element(json::Member(root, key), kind < 0 ? SIZE_MAX : static_cast<size_t>(kind));
}

std::vector<std::string> Names(const Json::Value& list) {
    std::vector<std::string> names;
    for (const Json::Value& entry : list) {
        names.push_back(json::String(json::Member(entry, "LightName")));
    }
    return names;
}

}  // namespace

void DefaultNameLists::Load(int kind, const std::string& dataFolder,
                            const std::string& defaultFolder, const std::string& macroIndexFile) {
    profiles::MacroStore macros(dataFolder, macroIndexFile);
    macros.Load();
    m_macroNames.clear();
    for (const profiles::MacroEntry& entry : macros.Entries()) {
        m_macroNames.push_back(entry.name);
    }

    const Json::Value defaults = profiles::JsonFile::ReadJson(defaultFolder + kDefaultLightFile);
    if (!defaults.isNull()) {
        const Json::Value& effects = KindList(defaults, "DefaultLightName", kind);
        if (effects.isArray()) {
            m_effectNames = Names(effects);
            m_effectVisible.clear();
            m_effectValues.clear();
            for (const Json::Value& entry : effects) {
                m_effectVisible.push_back(json::Bool(json::Member(entry, "visible")));
                m_effectValues.push_back(static_cast<uint32_t>(json::Int(json::Member(entry, "value"))));
            }
        }
        const Json::Value& areas = KindList(defaults, "AreaLightName", kind);
        if (areas.isArray()) {
            m_areaNames = Names(areas);
        }
    }

    const Json::Value config = profiles::JsonFile::ReadJson(dataFolder + kLightConfigFile);
    const Json::Value& custom = KindList(config, "LightInfo", kind);
    if (custom.isArray()) {
        m_customEffectNames = Names(custom);
    }
}

bool DefaultNameLists::CodeOf(size_t position, uint32_t& code) const {
    if (position >= m_effectValues.size()) {
        return false;
    }
    code = m_effectValues[position];
    return true;
}

int DefaultNameLists::PositionOf(uint32_t code) const {
    for (size_t i = 0; i < m_effectValues.size(); ++i) {
        if (m_effectValues[i] == code) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace kx520
