#include "lighting/SyncModeTable.h"

#include <array>

namespace kx520 {

namespace {

using Row = std::array<int, SyncModeTable::kTypes>;

const Row* RowOf(int kind) {
    static constexpr Row kKeyboard{5, 6, 23, 4, 28};
    static constexpr Row kMouse{2, 3, 4, 1, 9};
    static constexpr Row kPadAndHeadset{2, 3, 4, 1, 8};
    switch (kind) {
        case 1: return &kKeyboard;
        case 2: return &kMouse;
        case 3:
        case 7: return &kPadAndHeadset;
        default: return nullptr;
    }
}

}  // namespace

std::optional<int> SyncModeTable::SyncTypeOf(int kind, int mode) {
    const Row* row = RowOf(kind);
    if (row == nullptr) {
        return std::nullopt;
    }
    for (int type = 0; type < kTypes; ++type) {
        if ((*row)[static_cast<size_t>(type)] == mode) {
            return type;
        }
    }
    return std::nullopt;
}

std::optional<int> SyncModeTable::ModeOf(int kind, int type) {
    const Row* row = RowOf(kind);
    if (row == nullptr || type < 0 || type >= kTypes) {
        return std::nullopt;
    }
    return (*row)[static_cast<size_t>(type)];
}

}  // namespace kx520
