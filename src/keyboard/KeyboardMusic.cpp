#include "keyboard/KeyboardMusic.h"

#include <algorithm>
#include <numeric>

#include "keyboard/KeyboardLightEngine.h"
#include "lighting/KeyboardLightTables.h"
#include "lighting/LightTables.h"
#include "lighting/SoftwareEffects.h"

namespace kx520 {

namespace {

using Tables = KeyboardLightTables;

constexpr uint8_t kNone = KeyboardLightTables::kNoKey;
constexpr uint8_t kLitThreshold = 10;

uint8_t KeyAt(size_t column, size_t row) {
    const auto& matrix = Tables::KeyMatrix();
    return column < matrix.size() && row < Tables::kRows ? matrix[column][row] : kNone;
}

// Sums of consecutive groups of bands, each divided by 3.
template <size_t N>
std::array<int64_t, N> GroupSums(const std::array<int32_t, KeyboardMusic::kBands>& bands,
                                 const std::array<size_t, N>& sizes) {
    std::array<int64_t, N> sums{};
    size_t at = 0;
    for (size_t g = 0; g < N; ++g) {
        for (size_t i = 0; i < sizes[g] && at < bands.size(); ++i, ++at) {
            sums[g] += bands[at];
        }
        sums[g] /= 3;
    }
    return sums;
}

}  // namespace

// What a style draws with: the engine's per-key state, the light setting's
// brightness and direction, and the audio colours.
struct KeyboardMusic::Canvas {
    std::array<uint8_t, KeyboardLightEngine::kLeds>& levels;
    std::array<uint8_t, KeyboardLightEngine::kLeds>& colours;
    uint8_t& effectPos;
    KeyboardLightEngine& engine;
    const profiles::LightSetting& setting;
    const profiles::AudioLightSetting& audio;
    std::span<LedEntry> frame;
    uint8_t bright;

    int Direction() const { return setting.direction; }
    uint8_t Level(uint8_t led) const { return led < levels.size() ? levels[led] : 0; }
    Rgb Foreground() const { return {audio.fgRed, audio.fgGreen, audio.fgBlue}; }
    Rgb Background() const { return {audio.bkRed, audio.bkGreen, audio.bkBlue}; }

    void Put(uint8_t led, Rgb colour, uint8_t level) {
        if (led < frame.size() && led < levels.size()) {
            frame[led] = LedEntry{colour.red, colour.green, colour.blue, level};
        }
    }
    void Decay(uint8_t led, int mode) { engine.m_levels.DecayKey(led, mode); }
    // Fades `led` unless its neighbour towards the bar's tip is still lit.
    void TipFade(uint8_t led, uint8_t neighbour, uint8_t threshold = kLitThreshold) {
        if (neighbour != kNone && Level(neighbour) >= threshold) {
            return;
        }
        Decay(led, 29);
    }
    // Lit: full level in the rainbow (seven colours) or the foreground.
    // Unlit: the background once faded, else the lit colour at its level.
    // `advance` moves the rainbow index just before it is used.
    void Paint(uint8_t led, uint8_t& rainbow, bool lit, unsigned advance = 0) {
        if (led >= levels.size()) {
            return;
        }
        if (lit) {
            levels[led] = 255;
        } else if (levels[led] < kLitThreshold) {
            Put(led, Background(), bright);
            return;
        }
        Rgb colour = Foreground();
        if (audio.sevenColor != 0) {
            rainbow = static_cast<uint8_t>((rainbow + advance) % 192);
            colour = kRainbowTable[rainbow];
        }
        Put(led, colour, static_cast<uint8_t>(bright * levels[led] / 256));
    }
    // A key's colour from its own level: the background once faded.
    void PaintOwn(uint8_t led) {
        if (led >= levels.size()) {
            return;
        }
        if (levels[led] < kLitThreshold) {
            Put(led, Background(), bright);
            return;
        }
        const Rgb colour = audio.sevenColor != 0 ? kRainbowTable[colours[led]] : Foreground();
        Put(led, colour, static_cast<uint8_t>(bright * levels[led] / 256));
    }
};

int KeyboardMusic::Height(int64_t level) {
    return static_cast<int>(600 - level * 600 / kTopLevel);
}

int KeyboardMusic::HeightPlus(int64_t level) {
    const int y = Height(level);
    return y < 0 ? 500 : y;
}

void KeyboardMusic::Reset() {
    m_bands.fill(0);
    m_fired.fill(1);
}

void KeyboardMusic::SetBands(std::span<const int32_t> levels, bool beatStyle, KeyboardLightEngine& engine) {
    std::array<int32_t, kBands> held{};
    for (size_t i = 0; i < kBands && i < levels.size(); ++i) {
        held[i] = std::clamp(levels[i], 0, kTopLevel);
    }
    m_bands = held;
    if (beatStyle) {
        m_bands.fill(0);
        Beat(held, engine);
    }
}

void KeyboardMusic::Beat(std::span<const int32_t> levels, KeyboardLightEngine& engine) {
    int64_t sum = 0;
    for (const int32_t level : levels) {
        sum += HeightPlus(level);
    }
    const int64_t average = sum / static_cast<int64_t>(kBands);
    m_beatTotal += static_cast<int>(25 - average * 25 / 600);
    if (m_beatTotal >= 71) {
        m_beatTotal = 0;
        engine.SeedRipple(51, 1);
    }
}

std::array<int32_t, KeyboardMusic::kBands> KeyboardMusic::TakeBands() {
    std::array<int32_t, kBands> taken = m_bands;
    m_bands.fill(0);
    return taken;
}

void KeyboardMusic::Step(const profiles::LightSetting& setting, KeyboardLightEngine& engine,
                         std::span<LedEntry> frame) {
    const uint8_t bright = kBrightnessTable[std::min<size_t>(setting.brightness, kBrightnessTable.size() - 1)];
    Canvas canvas{engine.m_levels.Levels(), engine.m_keyColours, engine.m_effectPos, engine, setting, m_audio,
                  frame, bright};
    switch (m_audio.audioMode) {
        case 0: ColumnBars(canvas); return;
        case 1: MirroredBars(canvas); return;
        case 2: BeatRipples(canvas); return;
        case 3: Rings(canvas); return;
        case 4: FallingColumns(canvas); return;
        case 5: RowBars(canvas); return;
        case 6: AlternatingRowBars(canvas); return;
        default: return;  // no such style: nothing drawn
    }
}

void KeyboardMusic::ColumnBars(Canvas& canvas) {
    const auto bands = TakeBands();
    canvas.effectPos = StepPosition(canvas.Direction(), 192, canvas.effectPos, 1);
    if (m_stepCount > 30) {
        m_stepCount = 0;
        m_colourIndex = StepPosition(canvas.Direction(), 25, m_colourIndex, 1);
    }
    ++m_stepCount;
    uint8_t a = canvas.effectPos;
    for (size_t c = 0; c < Tables::kColumns; ++c) {
        a = static_cast<uint8_t>((a + 10) % 192);
        const int n = (Height(bands[c]) + 100) * 6 / 600;
        for (size_t r = 0; r < Tables::kRows; ++r) {
            const uint8_t led = KeyAt(c, r);
            if (led == kNone) {
                continue;
            }
            canvas.TipFade(led, r == 0 ? kNone : KeyAt(c, r - 1));
            canvas.Paint(led, a, static_cast<int>(r) >= n);
        }
    }
}

void KeyboardMusic::MirroredBars(Canvas& canvas) {
    const auto bands = TakeBands();
    canvas.effectPos = StepPosition(canvas.Direction(), 192, canvas.effectPos, 1);
    m_colourIndex = StepPosition(canvas.Direction(), 25, m_colourIndex, 1);
    uint8_t b = m_colourIndex;
    for (size_t r = 0; r < Tables::kRows; ++r) {
        b = static_cast<uint8_t>((b + 3) % 25);
        const int left = (HeightPlus(bands[b]) + 100) * 12 / 600;
        const int right = (HeightPlus(bands[2 * r + 1]) + 100) * 12 / 600;
        uint8_t a = canvas.effectPos;
        for (size_t c = 0; c < Tables::kColumns; ++c) {
            a = static_cast<uint8_t>((a + 7) % 192);
            const uint8_t led = KeyAt(c, r);
            if (led == kNone) {
                continue;
            }
            const int column = static_cast<int>(c);
            bool lit = false;
            if (c <= 8) {
                canvas.TipFade(led, c == 0 ? kNone : KeyAt(c - 1, r));
                lit = column >= left;
            } else {
                canvas.TipFade(led, c <= 20 ? KeyAt(c + 1, r) : kNone);
                lit = column - 9 <= 12 - right;
            }
            canvas.Paint(led, a, lit);
        }
    }
}

void KeyboardMusic::BeatRipples(Canvas& canvas) {
    // The levels went to the beat detector as they arrived.
    canvas.engine.SpreadPlanes(canvas.setting);
    canvas.engine.m_planes.Move();
    for (uint8_t led = 0; led < KeyboardLightEngine::kLeds; ++led) {
        canvas.Decay(led, 29);
        canvas.colours[led] = StepPosition(1, 192, canvas.colours[led], 9);
        canvas.PaintOwn(led);
    }
}

void KeyboardMusic::Rings(Canvas& canvas) {
    const auto bands = TakeBands();
    int64_t sum = 0;
    for (const int32_t band : bands) {
        sum += HeightPlus(band);
    }
    const int m = static_cast<int>(sum / static_cast<int64_t>(kBands) * 20 / 600);
    canvas.effectPos = StepPosition(canvas.Direction(), 192, canvas.effectPos, static_cast<uint8_t>(m));
    uint8_t a = canvas.effectPos;
    const auto& rings = Tables::RingGrid();
    for (size_t i = 0; i < rings.size(); ++i) {
        a = static_cast<uint8_t>((a + 9) % 192);
        for (const uint8_t led : rings[i]) {
            if (led >= KeyboardLightEngine::kLeds) {
                continue;
            }
            if (static_cast<int>(i) < 20 - m) {
                canvas.levels[led] = 255;
                canvas.Put(led, kRainbowTable[a], static_cast<uint8_t>(canvas.bright * 255 / 256));
                continue;
            }
            canvas.Decay(led, 0);
            if (led < canvas.frame.size()) {
                canvas.frame[led].level = static_cast<uint8_t>(canvas.bright * canvas.levels[led] / 256);
            }
        }
    }
}

void KeyboardMusic::FallingColumns(Canvas& canvas) {
    const auto bands = TakeBands();
    canvas.effectPos = StepPosition(canvas.Direction(), 192, canvas.effectPos, 1);
    uint8_t b = m_colourIndex;
    for (size_t c = 0; c < Tables::kColumns; ++c) {
        b = static_cast<uint8_t>((b + 1) % 25);
        const int n = (Height(bands[b]) + 100) * 6 / 600;
        for (size_t r = 0; r < Tables::kRows; ++r) {
            // A column fires again only once its bottom key has faded.
            if (m_fired[c] != 0 && canvas.Level(KeyAt(c, Tables::kRows - 1)) < kLitThreshold) {
                m_fired[c] = 0;
            }
            const uint8_t led = KeyAt(c, r);
            if (led == kNone) {
                continue;
            }
            canvas.TipFade(led, r == 0 ? kNone : KeyAt(c, r - 1), 5);
            canvas.PaintOwn(led);
            if (static_cast<int>(r) >= n && m_fired[c] == 0 && led < canvas.levels.size()) {
                canvas.levels[led] = 255;
                m_fired[c] = 1;
            }
        }
    }
}

void KeyboardMusic::RowBars(Canvas& canvas) {
    const auto groups = GroupSums(TakeBands(), std::array<size_t, 6>{2, 3, 3, 4, 5, 7});
    canvas.effectPos = StepPosition(canvas.Direction(), 192, canvas.effectPos, 1);
    m_colourIndex = StepPosition(canvas.Direction(), 8, m_colourIndex, 1);
    for (size_t r = 0; r < Tables::kRows; ++r) {
        const int t = 23 - (HeightPlus(groups[5 - r]) + 100) * 23 / 600;
        uint8_t a = canvas.effectPos;
        for (size_t c = 0; c < Tables::kColumns; ++c) {
            a = static_cast<uint8_t>((a + 3) % 192);
            const uint8_t led = KeyAt(c, r);
            if (led == kNone) {
                continue;
            }
            canvas.TipFade(led, c <= 20 ? KeyAt(c + 1, r) : kNone);
            canvas.Paint(led, a, static_cast<int>(c) <= t);
        }
    }
}

void KeyboardMusic::AlternatingRowBars(Canvas& canvas) {
    const auto groups = GroupSums(TakeBands(), std::array<size_t, 6>{2, 2, 3, 4, 5, 5});
    canvas.effectPos = StepPosition(canvas.Direction(), 192, canvas.effectPos, 1);
    m_colourIndex = StepPosition(canvas.Direction(), 25, m_colourIndex, 1);
    for (size_t r = 0; r < Tables::kRows; ++r) {
        const int t = HeightPlus(groups[r]) * 23 / 600;
        uint8_t a = canvas.effectPos;
        for (size_t c = 0; c < Tables::kColumns; ++c) {
            const uint8_t led = KeyAt(c, r);
            if (led == kNone) {
                continue;
            }
            const int column = static_cast<int>(c);
            bool lit = false;
            if (r % 2 == 1) {
                canvas.TipFade(led, c <= 20 ? KeyAt(c + 1, r) : kNone);
                lit = column <= 23 - t;
            } else {
                canvas.TipFade(led, c >= 2 ? KeyAt(c - 1, r) : kNone);
                lit = column >= t;
            }
            canvas.Paint(led, a, lit, 2);
        }
    }
}

}  // namespace kx520
