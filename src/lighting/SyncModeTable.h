#pragma once

#include <optional>

namespace kx520 {

// The light modes that mean the same effect on every kind, for lighting
// all devices alike: breathing, static, flash, colour cycle and off.
class SyncModeTable {
public:
    static constexpr int kTypes = 5;

    // The shared effect of `mode` on a device of profile kind `kind`
    // (1 keyboard, 2 mouse, 3 mouse pad, 7 headset); none when the mode
    // has no counterpart or the kind has no lighting.
    static std::optional<int> SyncTypeOf(int kind, int mode);
    // The mode of shared effect `type` on kind `kind`; none for a kind
    // without lighting or a type outside 0-4.
    static std::optional<int> ModeOf(int kind, int type);
};

}  // namespace kx520
