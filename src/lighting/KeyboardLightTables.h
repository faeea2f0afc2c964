#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kx520 {

// The keyboard light engine's tables: where the keys sit (by column and
// row of the keyboard), the orders and curves the effects walk, and the
// seeds of the twinkle and scripted effects. LED index 170 (or 255 where
// the table says so) is "no key".
class KeyboardLightTables {
public:
    static constexpr uint8_t kNoKey = 170;
    static constexpr size_t kColumns = 23;
    static constexpr size_t kRows = 6;

    static const std::array<std::array<uint8_t, kRows>, kColumns>& KeyMatrix();
    static const std::array<uint8_t, 126>& SerpentineOrder();
    static const std::array<uint8_t, 126>& ScanOrder();
    static const std::array<uint8_t, 96>& Curve96();
    static const std::array<uint8_t, 192>& TwinkleCurve();
    static const std::array<std::array<uint8_t, 12>, 12>& RingGrid();
    static const std::array<uint8_t, 104>& SparkleList();
    static const std::array<std::array<uint8_t, 7>, kColumns>& TwinkleGrid();  // 255 = none
    static const std::array<uint8_t, 138>& TwinklePhase();
    static const std::array<std::array<uint8_t, 12>, 52>& PatternTable();
    static const std::array<std::array<uint8_t, 2>, 16>& ScriptPairs();
    static const std::array<std::array<uint8_t, 6>, 20>& ScriptRows();  // 255 = none
    // Ticks between two steps of `mode` at page speed `speed` (0-4).
    static int Interval(int mode, int speed);
};

}  // namespace kx520
