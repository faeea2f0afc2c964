#pragma once

#include <json/value.h>

#include <string>
#include <vector>

#include "profiles/AudioLightSetting.h"
#include "profiles/KeyAction.h"
#include "profiles/LightSetting.h"

namespace kx520::profiles {

// The in-memory copy of one device's current profile section
// (root["Device"][deviceIndex] of its profile file), with typed access to
// the parts every device kind shares and the load and save logic. Setters
// change memory only; Save writes the file. Files are taken as possibly
// broken or hostile: wrong types read as 0, a missing section is repaired
// from the template (the damaged file kept as .bak), writes are atomic.
class CBasicProfiledata {
public:
    CBasicProfiledata() = default;
    virtual ~CBasicProfiledata() = default;
    CBasicProfiledata(const CBasicProfiledata&) = delete;
    CBasicProfiledata& operator=(const CBasicProfiledata&) = delete;

    // --- the four operations the kinds share ------------------------------------
    virtual bool Save() { return SaveSection(m_section, m_profilePath); }
    // Writes `section` as root["Device"][deviceIndex] of the file at `path`,
    // keeping its other keys. A file that is not JSON is kept as .bak and
    // its name and identifier are rebuilt from the profile list.
    virtual bool SaveSection(const Json::Value& section, const std::string& path);
    virtual bool SaveScratchSection(const std::string& path) {
        return SaveSection(m_scratchSection, path);
    }
    virtual bool WriteJson(const Json::Value& root, const std::string& path);
    // Why the last save failed, in the system's words; "" after a success.
    const std::string& SaveError() const { return m_saveError; }

    // --- paths ------------------------------------------------------------------
    void SetProfilePath(const std::string& path);
    const std::string& GetProfilePath() const { return m_profilePath; }
    void SetFallbackPath(const std::string& path);
    const std::string& GetFallbackPath() const { return m_fallbackPath; }
    void SetLightConfigPath(const std::string& path) { m_lightConfigPath = path; }
    const std::string& GetLightConfigPath() const { return m_lightConfigPath; }
    void SetDeviceIndex(int index) { m_deviceIndex = index < 0 ? 0 : index; }
    int GetDeviceIndex() const { return m_deviceIndex; }

    // --- loading ----------------------------------------------------------------
    const Json::Value& LoadSection(const std::string& path);
    const Json::Value& LoadScratchSection(const std::string& path);
    const Json::Value& LoadLightConfig(const std::string& path);
    const Json::Value& Section() const { return m_section; }
    const Json::Value& ScratchSection() const { return m_scratchSection; }

    // --- typed access to the section --------------------------------------------
    LightSetting GetLightInfo();
    void SetLightInfo(const LightSetting& setting);
    AudioLightSetting GetAudioLightInfo();
    void SetAudioLightInfo(const AudioLightSetting& setting);
    std::vector<LightSetting> GetLightList();
    // The frames of the current light mode's custom effect: the ".light"
    // file named by the light configuration, inside the profile's folder.
    std::vector<LightEffectFrame> LoadCustomEffect();
    // The same for entry `entry` of the light configuration's list.
    std::vector<LightEffectFrame> LoadCustomEffectAt(size_t entry);
    std::vector<KeyAssignmentEntry> GetKeyList() { return ReadKeyList(m_section, m_keyList); }
    void SetKeyList(const std::vector<KeyAssignmentEntry>& list) {
        WriteKeyList(m_section, m_keyList, list);
    }
    std::vector<KeyAssignmentEntry> GetScratchKeyList() {
        return ReadKeyList(m_scratchSection, m_scratchKeyList);
    }
    void SetScratchKeyList(const std::vector<KeyAssignmentEntry>& list) {
        WriteKeyList(m_scratchSection, m_scratchKeyList, list);
    }

protected:
    Json::Value& MutableSection() { return m_section; }

private:
    Json::Value LoadRepaired(const std::string& path);
    // An empty profile document named as the profile list names `path`.
    static Json::Value RebuiltRoot(const std::string& path);
    static std::vector<KeyAssignmentEntry> ReadKeyList(const Json::Value& section,
                                                       std::vector<KeyAssignmentEntry>& cache);
    static void WriteKeyList(Json::Value& section, std::vector<KeyAssignmentEntry>& cache,
                             const std::vector<KeyAssignmentEntry>& list);

    std::string m_profilePath;
    std::string m_fallbackPath;
    LightSetting m_lightInfo;
    AudioLightSetting m_audioLightInfo;
    std::vector<LightSetting> m_lightList;
    Json::Value m_section;
    Json::Value m_scratchSection;
    std::string m_lightConfigPath;
    std::vector<LightEffectFrame> m_effectFrames;
    Json::Value m_lightConfig;
    std::vector<KeyAssignmentEntry> m_keyList;
    std::vector<KeyAssignmentEntry> m_scratchKeyList;
    int m_deviceIndex = 0;
    std::string m_saveError;
};

}  // namespace kx520::profiles
