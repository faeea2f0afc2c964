#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "lighting/LedEntry.h"
#include "profiles/AudioLightSetting.h"
#include "profiles/LightSetting.h"

namespace kx520 {

class KeyboardLightEngine;

// The music visualisations of light mode 29: audio band levels become key
// levels and colours, in one of seven styles chosen by the audio light
// setting. Plain state; it draws through the light engine that owns it
// (levels, rainbow indices, ripple planes) under the engine's lock.
class KeyboardMusic {
public:
    static constexpr size_t kBands = 25;
    static constexpr int32_t kTopLevel = 2000;
    static constexpr int kStyles = 7;

    // Keeps the 25 levels for the next step. Levels outside 0-2000 are
    // held at the nearer end: a band louder than the scale is loud, not
    // silent. In the beat style the levels feed the beat detector at once.
    void SetBands(std::span<const int32_t> levels, bool beatStyle, KeyboardLightEngine& engine);
    void SetAudioLight(const profiles::AudioLightSetting& audio) { m_audio = audio; }
    const profiles::AudioLightSetting& AudioLight() const { return m_audio; }
    // Cleared bands and every column ready to fire again.
    void Reset();
    // One step of the current style.
    void Step(const profiles::LightSetting& setting, KeyboardLightEngine& engine, std::span<LedEntry> frame);

    // The running beat total; a mode change does not reset it.
    int BeatTotal() const { return m_beatTotal; }
    const std::array<int32_t, kBands>& Bands() const { return m_bands; }
    // y(L): 600 for a band at rest, 0 at 2000 (integer arithmetic).
    static int Height(int64_t level);
    // y(L), or 500 where y(L) is negative.
    static int HeightPlus(int64_t level);

private:
    struct Canvas;
    std::array<int32_t, kBands> TakeBands();
    void Beat(std::span<const int32_t> levels, KeyboardLightEngine& engine);
    void ColumnBars(Canvas& canvas);
    void MirroredBars(Canvas& canvas);
    void BeatRipples(Canvas& canvas);
    void Rings(Canvas& canvas);
    void FallingColumns(Canvas& canvas);
    void RowBars(Canvas& canvas);
    void AlternatingRowBars(Canvas& canvas);

    std::array<int32_t, kBands> m_bands{};
    std::array<uint8_t, 23> m_fired{};
    profiles::AudioLightSetting m_audio;
    int m_beatTotal = 0;
    uint8_t m_stepCount = 0;  // the bars' colour clock
    uint8_t m_colourIndex = 0;
};

}  // namespace kx520
