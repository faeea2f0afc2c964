#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "profiles/CBasicProfiledata.h"

namespace kx520::profiles {

// The keyboard's system settings ("SystemStages"), stored as given; the
// pages read repeat delay and polling rate steps outside 0-3 as 0.
struct KeyboardSystemSettings {
    uint16_t repeat = 0;
    uint16_t repeatDelay = 0;  // step 0-3: 250, 500, 750, 1000 ms
    uint16_t key6Flag = 0;
    uint16_t pollingRate = 0;  // option 0-3
    uint16_t wFlag = 0;
    uint16_t winFlag = 0;

    friend bool operator==(const KeyboardSystemSettings&, const KeyboardSystemSettings&) = default;
};

struct LightColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 0;

    friend bool operator==(const LightColor&, const LightColor&) = default;
};

// The keyboard's profile section: the shared sections plus its system
// settings and its per-key colour layouts ("CustomLightMode").
class CKeyboardProfiledata : public CBasicProfiledata {
public:
    // Layouts a file may name; a layout index from a file beyond the ones
    // present (or this bound) is read as zeros and never grows the file.
    static constexpr int kMaxLayouts = 16;
    // Per-key colour slots read or written at most (the keyboard has 170).
    static constexpr size_t kMaxColours = 512;

    KeyboardSystemSettings GetSystemStages();
    void SetSystemStages(const KeyboardSystemSettings& settings);
    // Exactly `count` colours of layout `layout`; missing entries are
    // completed with zero colours in memory (the next save writes them).
    std::vector<LightColor> GetCustomLightColors(int layout, size_t count);
    void SetCustomLightColors(const std::vector<LightColor>& colours, int layout);
    int32_t GetCustomLightGroup();
    void SetCustomLightGroup(int32_t group);

private:
    KeyboardSystemSettings m_systemSettings;
    std::vector<LightColor> m_customColours;
    int32_t m_customGroup = 0;
};

}  // namespace kx520::profiles
