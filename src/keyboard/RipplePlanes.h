#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "lighting/KeyboardLightTables.h"

namespace kx520 {

// The ripple effects' fronts: four planes of bits over the key matrix, one
// byte a column and one bit a row, each moving its own way across the
// keyboard (up-left, up-right, down-right, down-left).
class RipplePlanes {
public:
    static constexpr size_t kPlanes = 4;
    static constexpr size_t kColumns = KeyboardLightTables::kColumns;

    void Clear();
    // A front starts at the key's place on every plane.
    void SetBit(size_t column, int row);
    // The key of LED `led` starts a front; false for a LED the matrix lacks.
    bool Seed(uint8_t led);
    // The rows any plane has lit in `column`.
    uint8_t ColumnBits(size_t column) const;
    // Each plane one column and one row further its way: a diamond front.
    void Move();
    // Only the sideways planes, each one column further.
    void Shift();

private:
    std::array<std::array<uint8_t, kColumns>, kPlanes> m_planes{};
};

}  // namespace kx520
