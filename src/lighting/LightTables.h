#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kx520 {

struct Rgb {
    uint8_t red;
    uint8_t green;
    uint8_t blue;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

namespace detail {

inline constexpr std::array<uint8_t, 32> kRainbowUp{
    1,  3,  5,  7,  10, 14, 18,  22,  26,  32,  38,  44,  50,  57,  65,  73,
    81, 89, 99, 109, 119, 129, 140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
inline constexpr std::array<uint8_t, 32> kRainbowDown{
    248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124, 114, 104, 94, 85, 77,
    69,  61,  53,  47,  41,  35,  29,  24,  20,  16,  12,  8,   6,   4,  2,  0};
inline constexpr std::array<uint8_t, 64> kBreathRise{
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,  16,  18,  20,
    22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
    77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
    158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};

constexpr std::array<Rgb, 256> MakeRainbow() {
    std::array<Rgb, 256> table{};
    for (size_t k = 0; k < 32; ++k) {
        const uint8_t up = kRainbowUp[k];
        const uint8_t down = kRainbowDown[k];
        table[k] = {255, up, 0};
        table[32 + k] = {down, 255, 0};
        table[64 + k] = {0, 255, up};
        table[96 + k] = {0, down, 255};
        table[128 + k] = {up, 0, 255};
        table[160 + k] = {255, 0, down};
    }
    for (size_t i = 192; i < 256; ++i) {
        table[i] = table[i - 192];
    }
    return table;
}

constexpr std::array<uint8_t, 128> MakeBreathCurve() {
    std::array<uint8_t, 128> curve{};
    for (size_t i = 0; i < 64; ++i) {
        curve[i] = kBreathRise[i];
        curve[127 - i] = kBreathRise[i];
    }
    return curve;
}

}  // namespace detail

// A hue wheel in six segments of 32; entries 192-255 repeat 0-63.
inline constexpr std::array<Rgb, 256> kRainbowTable = detail::MakeRainbow();
inline constexpr std::array<Rgb, 4> kFourColourTable{{{0, 255, 180}, {0, 255, 0}, {255, 255, 255},
                                                      {255, 0, 0}}};
// 64 rising levels, then the same falling.
inline constexpr std::array<uint8_t, 128> kBreathCurve = detail::MakeBreathCurve();
// Level for brightness 0-4.
inline constexpr std::array<uint8_t, 5> kBrightnessTable{0, 63, 126, 190, 255};

// Ticks between effect steps (and blink periods in units of 200 ms), by
// light mode and speed 0-4; every mode has the same row.
inline constexpr size_t kLightModeCount = 32;
inline constexpr std::array<uint8_t, 15> kIntervalRow{28, 23, 18, 13, 7};
uint8_t IntervalFor(size_t mode, size_t speed);

// Values from files and devices are used as indices: clamp first.
size_t ClampLevelIndex(int value);  // brightness and speed: 0-4

}  // namespace kx520
