#include "keyboard/KeyboardLightEngine.h"

#include <algorithm>

#include "lighting/KeyboardLightTables.h"
#include "lighting/LightTables.h"
#include "lighting/SoftwareEffects.h"

namespace kx520 {

namespace {

using Tables = KeyboardLightTables;

// `led` in `colour` at `level`, when it is a key of the frame.
void Paint(std::span<LedEntry> frame, uint8_t led, Rgb colour, uint8_t level) {
    if (led < frame.size() && led < KeyboardLightEngine::kLeds) {
        frame[led] = LedEntry{colour.red, colour.green, colour.blue, level};
    }
}

uint8_t Wrap(unsigned value, unsigned limit) {
    return static_cast<uint8_t>(value % limit);
}

}  // namespace

bool KeyboardLightEngine::HasStep(int mode) {
    switch (mode) {
        case 1: case 2: case 3: case 5: case 6: case 7: case 8: case 9: case 10: case 11: case 12:
        case 13: case 14: case 15: case 16: case 17: case 18: case 21: case 22: case 24: case 25:
        case kPerKeyColourMode: case kMusicMode: case kHostColourMode:
            return true;
        default:
            return false;
    }
}

void KeyboardLightEngine::ResetEffect() {
    m_effectPos = 0;
    m_keyColours.fill(0);
    m_keyStates.fill(0);
    m_levels.ClearKeyLevels();
    m_planes.Clear();
    m_planeSteps = 0;
    m_music.Reset();
}

void KeyboardLightEngine::SetAudioBands(std::span<const int32_t> levels, int mode) {
    m_music.SetBands(levels, mode == kMusicMode && m_music.AudioLight().audioMode == 2, *this);
}

void KeyboardLightEngine::StartMode(int mode) {
    if (mode == 13) {
        m_planes.SetBit(9, 6);  // the centre ripple starts below the middle column
        return;
    }
    if (mode == 16) {
        m_planes.SetBit(1, 0);
        return;
    }
    const auto& grid = Tables::TwinkleGrid();
    if (mode == 15) {
        // Each key of the grid starts at its column's phase.
        for (size_t c = 0; c < grid.size(); ++c) {
            for (size_t e = 0; e < grid[c].size(); ++e) {
                const uint8_t led = grid[c][e];
                const size_t phase = 6 * c + e;
                if (led < kLeds && phase < Tables::TwinklePhase().size()) {
                    m_levels.Levels()[led] = Tables::TwinklePhase()[phase];
                    m_keyColours[led] = static_cast<uint8_t>(7 * c);
                }
            }
        }
        return;
    }
    if (mode == 22) {
        for (size_t c = 0; c < grid.size(); ++c) {
            int v = 192 - 8 * static_cast<int>(c);
            for (const uint8_t led : grid[c]) {
                v = v < 35 ? v + 158 : v - 35;
                if (led < kLeds) {
                    m_slowCounters[led] = static_cast<uint8_t>(v);
                    m_keyColours[led] = static_cast<uint8_t>(7 * c);
                }
            }
        }
        return;
    }
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
        case 2: ColumnWaveTwo(setting, frame); return;
        case 7:
        case 25: FadeReaction(setting, frame); return;
        case 8:
        case 9:
        case 13:
        case 16: Ripple(mode, setting, frame); return;
        case 10: Sparkle(setting, frame); return;
        case 14: Scripted(setting, frame); return;
        case 15: Twinkle(setting, frame, false); return;
        case 21: Scan(setting, frame); return;
        case 22: Twinkle(setting, frame, true); return;
        case 24: PatternSweep(setting, frame); return;
        case 3: Snake(setting, frame); return;
        case 5: Breathing(setting, frame); return;
        case 6: Static(setting, frame); return;
        case 11: RainbowPerKey(setting, frame); return;
        case 12: RowWave(setting, frame); return;
        case 18: RingRainbow(setting, frame); return;
        case kMusicMode: m_music.Step(setting, *this, frame); return;
        case 17: {
            // The profile's colour choice (its second effect list) picks one of four hues.
            static constexpr uint8_t kHues[] = {25, 70, 95, 174};
            const uint8_t choice = setting.zzccLedMode;
            const uint8_t hue = kHues[choice >= 1 && choice <= 3 ? choice - 1 : 3];
            for (size_t led = 0; led < kLeds && led < frame.size(); ++led) {
                frame[led] = LedEntry{kRainbowTable[hue].red, kRainbowTable[hue].green, kRainbowTable[hue].blue,
                                      BrightnessLevel(setting)};
            }
            return;
        }
        case kPerKeyColourMode:
            for (size_t led = 0; led < kLeds && led < frame.size(); ++led) {
                frame[led].level = BrightnessLevel(setting);
            }
            return;
        case kHostColourMode:
            for (size_t led = 0; led < kLeds && led < frame.size(); ++led) {
                frame[led] = LedEntry{m_hostColour[0], m_hostColour[1], m_hostColour[2], BrightnessLevel(setting)};
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
        const Rgb colour = multi ? kRainbowTable[at] : FixedColour(setting);
        const uint8_t level = multi ? BrightnessLevel(setting) : ScaledLevel(BrightnessLevel(setting), Tables::Curve96()[at]);
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
            Paint(frame, column[row], kRainbowTable[at], BrightnessLevel(setting));
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
        const Rgb colour = multi ? kRainbowTable[at] : FixedColour(setting);
        Paint(frame, led, colour, multi ? BrightnessLevel(setting) : ScaledLevel(BrightnessLevel(setting), Tables::Curve96()[at]));
        at = Wrap(at + 5, limit);
    }
}

void KeyboardLightEngine::Breathing(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    m_effectPos = m_effectPos >= 127 ? 0 : static_cast<uint8_t>(m_effectPos + 1);
    const uint8_t level = ScaledLevel(kBreathCurve[m_effectPos], BrightnessLevel(setting));
    const auto& matrix = Tables::KeyMatrix();
    for (size_t c = 0; c < matrix.size(); ++c) {
        const Rgb colour = setting.multiColor != 0 ? kRainbowTable[7 * c] : FixedColour(setting);
        for (const uint8_t led : matrix[c]) {
            Paint(frame, led, colour, level);
        }
    }
}

void KeyboardLightEngine::Static(const profiles::LightSetting& setting, std::span<LedEntry> frame) const {
    if (setting.multiColor == 0) {
        for (size_t led = 0; led < kLeds && led < frame.size(); ++led) {
            frame[led] = LedEntry{setting.red, setting.green, setting.blue, BrightnessLevel(setting)};
        }
        return;
    }
    const auto& rings = Tables::RingGrid();
    for (size_t i = 0; i < rings.size(); ++i) {
        for (const uint8_t led : rings[i]) {
            Paint(frame, led, kRainbowTable[138 - 12 * i], BrightnessLevel(setting));
        }
    }
}

void KeyboardLightEngine::RainbowPerKey(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    for (size_t led = 0; led < kLeds && led < frame.size(); ++led) {
        m_keyColours[led] = Wrap(m_keyColours[led] + 1u, 192);
        Paint(frame, static_cast<uint8_t>(led), kRainbowTable[m_keyColours[led]], BrightnessLevel(setting));
    }
}

void KeyboardLightEngine::RingRainbow(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    m_effectPos = StepPosition(setting.direction, 192, m_effectPos, 1);
    unsigned at = m_effectPos;
    for (const auto& ring : Tables::RingGrid()) {
        at = Wrap(at + 7, 192);
        for (const uint8_t led : ring) {
            Paint(frame, led, kRainbowTable[at], BrightnessLevel(setting));
        }
    }
}

void KeyboardLightEngine::PaintKey(const profiles::LightSetting& setting, std::span<LedEntry> frame,
                                   uint8_t led) {
    if (led >= kLeds) {
        return;
    }
    const Rgb colour = setting.multiColor != 0 ? kRainbowTable[m_keyColours[led]] : FixedColour(setting);
    Paint(frame, led, colour, ScaledLevel(BrightnessLevel(setting), m_levels.Levels()[led]));
}

void KeyboardLightEngine::ColumnWaveTwo(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    const bool multi = setting.multiColor != 0;
    const uint8_t limit = multi ? 192 : 96;
    m_effectPos = StepPosition(setting.direction, limit, m_effectPos, 1);
    unsigned at = m_effectPos;
    for (const auto& column : Tables::KeyMatrix()) {
        const Rgb colour = multi ? kRainbowTable[at] : FixedColour(setting);
        const uint8_t level = multi ? BrightnessLevel(setting) : ScaledLevel(BrightnessLevel(setting), Tables::TwinkleCurve()[at]);
        for (const uint8_t led : column) {
            Paint(frame, led, colour, level);
        }
        at = Wrap(at + (multi ? 2 : 1), limit);
    }
}

void KeyboardLightEngine::Scan(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    const auto& order = Tables::ScanOrder();
    // Positions past the order (126 to 170) are spent lighting nothing.
    auto light = [this, &order](unsigned position) {
        if (position < order.size() && order[position] < kLeds) {
            m_levels.Levels()[order[position]] = 254;
        }
    };
    if (setting.direction != 0) {
        if (m_effectPos > 169) {
            m_effectPos = 0;
        } else {
            light(m_effectPos);
            ++m_effectPos;
        }
    } else if (m_effectPos == 0) {
        m_effectPos = 170;
    } else {
        light(m_effectPos);
        --m_effectPos;
    }
    for (const uint8_t led : Tables::SerpentineOrder()) {
        if (led < kLeds) {
            m_levels.DecayKey(led, 21);
            PaintKey(setting, frame, led);
        }
    }
}

void KeyboardLightEngine::Sparkle(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    const auto& list = Tables::SparkleList();
    for (int i = 0; i < 6; ++i) {
        const uint8_t position = list[Random(static_cast<uint32_t>(list.size()))];
        const uint8_t led = position < Tables::SerpentineOrder().size()
                                ? Tables::SerpentineOrder()[position]
                                : Tables::kNoKey;
        if (led < kLeds) {  // a pick without a key lights nothing
            m_keyColours[led] = static_cast<uint8_t>(Random(192));
            m_levels.Levels()[led] = 255;
        }
    }
    for (uint8_t led = 0; led < kLeds; ++led) {
        m_levels.DecayKey(led, 10);
        PaintKey(setting, frame, led);
    }
}

void KeyboardLightEngine::FadeReaction(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    auto& levels = m_levels.Levels();
    for (uint8_t led = 0; led < kLeds; ++led) {
        if (m_keyStates[led] == 1) {
            levels[led] = static_cast<uint8_t>(std::min(255, levels[led] + 15));
        } else if (m_keyStates[led] == 2) {
            levels[led] = static_cast<uint8_t>(std::max(0, levels[led] - 5));
        }
        PaintKey(setting, frame, led);
    }
}

void KeyboardLightEngine::PatternSweep(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    const auto& pattern = Tables::PatternTable();
    m_effectPos = StepPosition(setting.direction, static_cast<uint8_t>(pattern.size()), m_effectPos, 1);
    auto& levels = m_levels.Levels();
    for (const uint8_t led : pattern[m_effectPos % pattern.size()]) {
        if (led < kLeds) {  // 170 and above is no place
            levels[led] = 255;
            m_keyColours[led] = 0;
        }
    }
    for (uint8_t led = 0; led < kLeds; ++led) {
        levels[led] = static_cast<uint8_t>(std::max(0, levels[led] - 5));
        if (m_keyColours[led] != 255) {
            m_keyColours[led] = static_cast<uint8_t>(std::min(255, m_keyColours[led] + 3));
        }
        if (setting.multiColor != 0) {
            Paint(frame, led, kRainbowTable[m_keyColours[led]], BrightnessLevel(setting));
        } else {
            Paint(frame, led, FixedColour(setting), ScaledLevel(BrightnessLevel(setting), levels[led]));
        }
    }
}

void KeyboardLightEngine::Twinkle(const profiles::LightSetting& setting, std::span<LedEntry> frame, bool slow) {
    const auto& curve = Tables::TwinkleCurve();
    for (const uint8_t led : Tables::SerpentineOrder()) {
        if (led >= kLeds) {
            continue;
        }
        uint8_t& counter = slow ? m_slowCounters[led] : m_levels.Levels()[led];
        const unsigned next = counter + (slow ? 1u : 2u);
        // Compared before it is used as an index: a counter at or past the
        // curve's end starts again.
        if (next >= curve.size()) {
            counter = 0;
            m_keyColours[led] = static_cast<uint8_t>(Random(192));
        } else {
            counter = static_cast<uint8_t>(next);
        }
        const Rgb colour = setting.multiColor != 0 ? kRainbowTable[m_keyColours[led]] : FixedColour(setting);
        Paint(frame, led, colour, ScaledLevel(BrightnessLevel(setting), curve[counter]));
    }
}

void KeyboardLightEngine::SeedRipple(uint8_t led, int type) {
    if (type == 1 && led < kLeds) {
        m_planes.Seed(led);
    }
}

void KeyboardLightEngine::SpreadPlanes(const profiles::LightSetting& setting) {
    const auto& matrix = Tables::KeyMatrix();
    for (size_t c = 0; c < matrix.size(); ++c) {
        const uint8_t bits = m_planes.ColumnBits(c);
        for (size_t r = 0; r < Tables::kRows; ++r) {
            const uint8_t led = matrix[c][r];
            if ((bits & (1u << r)) == 0 || led >= kLeds) {
                continue;
            }
            m_levels.Levels()[led] = 255;
            if (setting.multiColor != 0) {
                m_keyColours[led] = static_cast<uint8_t>(Random(192));
            }
        }
    }
}

void KeyboardLightEngine::Ripple(int mode, const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    if (mode == 13) {
        // The centre ripple starts again from the middle column's edges.
        const uint8_t bits = m_planes.ColumnBits(9);
        if (bits == 1) {
            m_planes.SetBit(9, 0);
        } else if (bits == 64) {
            m_planes.SetBit(9, 6);
        }
        if (m_planeSteps > 1) {
            m_planeSteps = 0;
            SpreadPlanes(setting);
            m_planes.Move();
        }
        ++m_planeSteps;
    } else if (mode == 16) {
        if (m_planes.ColumnBits(1) == 1) {
            m_planes.SetBit(1, 0);
        }
        if (m_planes.ColumnBits(22) == 64) {
            m_planes.SetBit(22, 6);
        }
        SpreadPlanes(setting);
        m_planes.Move();
    } else {
        SpreadPlanes(setting);
        mode == 9 ? m_planes.Shift() : m_planes.Move();
    }
    auto fade = [this, mode, &setting, &frame](uint8_t led) {
        m_levels.DecayKey(led, mode);
        if (mode == 8) {
            m_keyColours[led] = Wrap(m_keyColours[led] + 7u, 192);
        }
        PaintKey(setting, frame, led);
    };
    if (mode == 16) {
        for (const uint8_t led : Tables::SerpentineOrder()) {
            if (led < kLeds) {
                fade(led);
            }
        }
        return;
    }
    for (uint8_t led = 0; led < kLeds; ++led) {
        fade(led);
    }
}

void KeyboardLightEngine::Flash(const profiles::LightSetting& setting, uint8_t led) {
    if (led >= kLeds) {
        return;  // 255: an empty place of the row
    }
    m_levels.Levels()[led] = 255;
    if (setting.multiColor != 0) {
        m_keyColours[led] = static_cast<uint8_t>(Random(192));
    }
}

void KeyboardLightEngine::Scripted(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    // The planes' step counter holds the phase, the effect position its step.
    auto& levels = m_levels.Levels();
    uint8_t& step = m_effectPos;
    switch (m_planeSteps) {
        case 0: {
            const auto& rows = Tables::ScriptRows();
            for (const uint8_t led : rows[step % rows.size()]) {
                Flash(setting, led);
            }
            if (++step > 19) {
                step = 0;
                m_planeSteps = 1;
            }
            break;
        }
        case 1:
            if (step <= 30) {
                for (const uint8_t led : Tables::ScriptPairs()[step % 16]) {
                    Flash(setting, led);
                }
                ++step;
            } else if (levels[72] == 0) {
                step = 0;
                m_planeSteps = 2;
            }
            break;
        case 2:
            SeedRipple(52, 1);
            m_planeSteps = 3;
            break;
        case 3:
            SpreadPlanes(setting);
            m_planes.Move();
            if (levels[125] != 0) {
                m_planeSteps = 4;
            }
            break;
        default:
            if (levels[125] == 0) {
                step = 0;
                m_planeSteps = 0;
            }
            break;
    }
    for (uint8_t led = 0; led < kLeds; ++led) {
        m_levels.DecayKey(led, 14);
        PaintKey(setting, frame, led);
    }
}

}  // namespace kx520
