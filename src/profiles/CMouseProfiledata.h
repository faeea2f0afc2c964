#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "profiles/CBasicProfiledata.h"

namespace kx520::profiles {

// One sensitivity stage as the mouse page and device use it: X and Y are
// the mouse's slider steps, stored as its configuration record holds them
// (the page shows them as values through the mouse's scale).
struct DpiStage {
    uint8_t enabled = 0;  // takes part in stage switching
    uint8_t xy = 0;       // separate X and Y values when non-zero
    uint16_t dpiX = 0;
    uint16_t dpiY = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    friend bool operator==(const DpiStage&, const DpiStage&) = default;
};

// "SystemStages" and the report rate of "ReportStages".
struct MouseSystemSettings {
    uint16_t doubleClickTime = 0;
    uint16_t mouseSpeed = 0;
    uint16_t pointerPrecision = 0;
    uint16_t scrollPage = 0;
    uint16_t wheelScrollLines = 0;
    uint16_t reportRate = 0;  // index of the selected polling rate

    friend bool operator==(const MouseSystemSettings&, const MouseSystemSettings&) = default;
};

// A movement correction preset of the template ("CorrectInfo"), read only.
struct CorrectionPreset {
    uint8_t pixThreshold = 0;
    uint8_t minSquare = 0;
    uint8_t selected = 0;
    std::string name;

    friend bool operator==(const CorrectionPreset&, const CorrectionPreset&) = default;
};

// The mouse's profile section: the shared sections plus its sensitivity
// stages, system and report-rate settings and correction presets.
class CMouseProfiledata : public CBasicProfiledata {
public:
    // Stages and presets read at most from one file (the mouse has five
    // stages; a hostile file may claim millions).
    static constexpr size_t kMaxStages = 16;
    static constexpr size_t kMaxCorrections = 64;

    // The stages of the file merged into the cached list by place: a
    // file with fewer stages does not shorten it; without "DPIStages" the
    // list and the active stage stay as they were.
    std::vector<DpiStage> GetDPIStages();
    void SetDPIStages(const std::vector<DpiStage>& stages);
    // The stages as last read or set, without reading the section again.
    const std::vector<DpiStage>& Stages() const { return m_stages; }
    int32_t GetActiveStage() const { return m_activeStage; }
    void SetActiveStage(int32_t stage);
    // All zeros without "SystemStages"; report rate 0 without "ReportStages".
    MouseSystemSettings GetSystemStages();
    void SetSystemStages(const MouseSystemSettings& settings);
    // The settings as last read or set.
    const MouseSystemSettings& SystemSettings() const { return m_systemSettings; }
    std::vector<CorrectionPreset> GetCorrections();
    // The presets as last read.
    const std::vector<CorrectionPreset>& Corrections() const { return m_corrections; }

private:
    std::vector<DpiStage> m_stages;
    int32_t m_activeStage = 0;
    MouseSystemSettings m_systemSettings;
    std::vector<CorrectionPreset> m_corrections;
};

}  // namespace kx520::profiles
