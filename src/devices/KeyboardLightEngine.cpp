#include "devices/KeyboardLightEngine.h"

#include <algorithm>

#include "devices/KeyboardLightTables.h"
#include "devices/LightTables.h"
#include "devices/SoftwareEffects.h"

namespace kx520 {

namespace {

using Tables = KeyboardLightTables;

uint8_t Bright(const profiles::LightSetting& setting) {
    return kBrightnessTable[std::min<size_t>(setting.brightness, kBrightnessTable.size() - 1)];
}

uint8_t Scaled(uint8_t level, uint8_t factor) {
    return static_cast<uint8_t>(level * factor / 256);
}

// `led` in `colour` at `level`, when it is a key of the frame.
void Paint(std::span<LedEntry> frame, uint8_t led, Rgb colour, uint8_t level) {
    if (led < frame.size() && led < KeyboardLightEngine::kLeds) {
        frame[led] = LedEntry{colour.red, colour.green, colour.blue, level};
    }
}

Rgb Fixed(const profiles::LightSetting& setting) {
    return Rgb{setting.red, setting.green, setting.blue};
}

uint8_t Wrap(unsigned value, unsigned limit) {
    return static_cast<uint8_t>(value % limit);
}

}  // namespace

bool KeyboardLightEngine::HasStep(int mode) {
    switch (mode) {
        case 1: case 3: case 5: case 6: case 11: case 12: case 17: case 18:
        case kPerKeyColourMode: case kHostColourMode:
            return true;
        default:
            return false;
    }
}

void KeyboardLightEngine::ResetEffect() {
    m_effectPos = 0;
    m_keyColours.fill(0);
}

void KeyboardLightEngine::StartMode(int mode) {
    if (mode != 11) {
        return;
    }
    // A running byte through the keys: +97 between 160 and 222, else +33.
    uint8_t running = 0;
    for (uint8_t& colour : m_keyColours) {
        running = static_cast<uint8_t>(running + (running >= 160 && running <= 222 ? 97 : 33));
        colour = running;
    }
}

void KeyboardLightEngine::Step(int mode, const profiles::LightSetting& setting,
                               std::span<LedEntry> frame) {
    switch (mode) {
        case 1: ColumnWave(setting, frame); return;
        case 3: Snake(setting, frame); return;
        case 5: Breathing(setting, frame); return;
        case 6: Static(setting, frame); return;
        case 11: RainbowPerKey(setting, frame); return;
        case 12: RowWave(setting, frame); return;
        case 18: RingRainbow(setting, frame); return;
        case 17: {
            // The profile's colour choice (its second effect list) picks one of four hues.
            static constexpr uint8_t kHues[] = {25, 70, 95, 174};
            const uint8_t choice = setting.zzccLedMode;
            const uint8_t hue = kHues[choice >= 1 && choice <= 3 ? choice - 1 : 3];
            for (size_t led = 0; led < kLeds && led < frame.size(); ++led) {
                frame[led] = LedEntry{kRainbowTable[hue].red, kRainbowTable[hue].green, kRainbowTable[hue].blue,
                                      Bright(setting)};
            }
            return;
        }
        case kPerKeyColourMode:
            for (size_t led = 0; led < kLeds && led < frame.size(); ++led) {
                frame[led].level = Bright(setting);
            }
            return;
        case kHostColourMode:
            for (size_t led = 0; led < kLeds && led < frame.size(); ++led) {
                frame[led] = LedEntry{m_hostColour[0], m_hostColour[1], m_hostColour[2], Bright(setting)};
            }
            return;
        default:
            return;
    }
}

void KeyboardLightEngine::ColumnWave(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    const bool multi = setting.multiColor != 0;
    const uint8_t limit = multi ? 192 : 96;
    m_effectPos = StepPosition(setting.direction, limit, m_effectPos, 1);
    unsigned at = (m_effectPos + 1u) % limit;
    for (const auto& column : Tables::KeyMatrix()) {
        const Rgb colour = multi ? kRainbowTable[at] : Fixed(setting);
        const uint8_t level = multi ? Bright(setting) : Scaled(Bright(setting), Tables::Curve96()[at]);
        for (const uint8_t led : column) {
            Paint(frame, led, colour, level);
        }
        at = Wrap(at + 7, limit);
    }
}

void KeyboardLightEngine::RowWave(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    if (setting.multiColor == 0) {
        return;  // the row wave has no one-colour form
    }
    m_effectPos = StepPosition(setting.direction, 192, m_effectPos, 1);
    unsigned at = (m_effectPos + 1u) % 192;
    for (size_t row = 0; row < Tables::kRows; ++row) {
        for (const auto& column : Tables::KeyMatrix()) {
            Paint(frame, column[row], kRainbowTable[at], Bright(setting));
        }
        at = Wrap(at + 24, 192);
    }
}

void KeyboardLightEngine::Snake(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    const bool multi = setting.multiColor != 0;
    const uint8_t limit = multi ? 192 : 96;
    m_effectPos = StepPosition(setting.direction, limit, m_effectPos, 1);
    unsigned at = m_effectPos;
    for (const uint8_t led : Tables::SerpentineOrder()) {
        const Rgb colour = multi ? kRainbowTable[at] : Fixed(setting);
        Paint(frame, led, colour, multi ? Bright(setting) : Scaled(Bright(setting), Tables::Curve96()[at]));
        at = Wrap(at + 5, limit);
    }
}

void KeyboardLightEngine::Breathing(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    m_effectPos = m_effectPos >= 127 ? 0 : static_cast<uint8_t>(m_effectPos + 1);
    const uint8_t level = Scaled(kBreathCurve[m_effectPos], Bright(setting));
    const auto& matrix = Tables::KeyMatrix();
    for (size_t c = 0; c < matrix.size(); ++c) {
        const Rgb colour = setting.multiColor != 0 ? kRainbowTable[7 * c] : Fixed(setting);
        for (const uint8_t led : matrix[c]) {
            Paint(frame, led, colour, level);
        }
    }
}

void KeyboardLightEngine::Static(const profiles::LightSetting& setting, std::span<LedEntry> frame) const {
    if (setting.multiColor == 0) {
        for (size_t led = 0; led < kLeds && led < frame.size(); ++led) {
            frame[led] = LedEntry{setting.red, setting.green, setting.blue, Bright(setting)};
        }
        return;
    }
    const auto& rings = Tables::RingGrid();
    for (size_t i = 0; i < rings.size(); ++i) {
        for (const uint8_t led : rings[i]) {
            Paint(frame, led, kRainbowTable[138 - 12 * i], Bright(setting));
        }
    }
}

void KeyboardLightEngine::RainbowPerKey(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    for (size_t led = 0; led < kLeds && led < frame.size(); ++led) {
        m_keyColours[led] = Wrap(m_keyColours[led] + 1u, 192);
        Paint(frame, static_cast<uint8_t>(led), kRainbowTable[m_keyColours[led]], Bright(setting));
    }
}

void KeyboardLightEngine::RingRainbow(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    m_effectPos = StepPosition(setting.direction, 192, m_effectPos, 1);
    unsigned at = m_effectPos;
    for (const auto& ring : Tables::RingGrid()) {
        at = Wrap(at + 7, 192);
        for (const uint8_t led : ring) {
            Paint(frame, led, kRainbowTable[at], Bright(setting));
        }
    }
}

}  // namespace kx520
