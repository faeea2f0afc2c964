#include "keyboard/RipplePlanes.h"

namespace kx520 {

void RipplePlanes::Clear() {
    for (auto& plane : m_planes) {
        plane.fill(0);
    }
}

void RipplePlanes::SetBit(size_t column, int row) {
    if (column >= kColumns || row < 0 || row >= 8) {
        return;
    }
    for (auto& plane : m_planes) {
        plane[column] = static_cast<uint8_t>(plane[column] | (1u << row));
    }
}

bool RipplePlanes::Seed(uint8_t led) {
    const auto& matrix = KeyboardLightTables::KeyMatrix();
    for (size_t c = 0; c < matrix.size(); ++c) {
        for (size_t r = 0; r < matrix[c].size(); ++r) {
            if (matrix[c][r] == led) {
                SetBit(c, static_cast<int>(r));
                return true;
            }
        }
    }
    return false;
}

uint8_t RipplePlanes::ColumnBits(size_t column) const {
    uint8_t bits = 0;
    if (column >= kColumns) {
        return bits;
    }
    for (const auto& plane : m_planes) {
        bits = static_cast<uint8_t>(bits | plane[column]);
    }
    return bits;
}

void RipplePlanes::Move() {
    static constexpr int kColumnStep[kPlanes] = {-1, 1, 1, -1};
    static constexpr int kRowStep[kPlanes] = {-1, -1, 1, 1};
    const int columns = static_cast<int>(kColumns);
    for (size_t p = 0; p < kPlanes; ++p) {
        std::array<uint8_t, kColumns> moved{};
        for (int c = 0; c < columns; ++c) {
            for (int bit = 0; bit < 8; ++bit) {
                if ((m_planes[p][static_cast<size_t>(c)] & (1u << bit)) == 0) {
                    continue;
                }
                const int side = c + kColumnStep[p];
                if (side >= 0 && side < columns) {
                    moved[static_cast<size_t>(side)] |= static_cast<uint8_t>(1u << bit);
                }
                const int row = bit + kRowStep[p];
                if (row >= 0 && row < 8) {
                    moved[static_cast<size_t>(c)] |= static_cast<uint8_t>(1u << row);
                }
            }
        }
        m_planes[p] = moved;
    }
}

void RipplePlanes::Shift() {
    m_planes[0].fill(0);
    m_planes[2].fill(0);
    auto& right = m_planes[1];
    auto& left = m_planes[3];
    for (size_t c = right.size() - 1; c > 0; --c) {
        right[c] = right[c - 1];
    }
    right[0] = 0;
    for (size_t c = 0; c + 1 < left.size(); ++c) {
        left[c] = left[c + 1];
    }
    left.back() = 0;
}

}  // namespace kx520
