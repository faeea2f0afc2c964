#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "catalog/PageKeyDefaults.h"
#include "profiles/KeyAction.h"
#include "profiles/MacroStore.h"

namespace kx520 {

// What writing a key list to a device gave: the macros first (0, a
// positive overrun: events too many, plus one; or a negative kMacro
// result), then the key table (1 written, 0 not reached, else the failing
// command's code; left unwritten when the macros could not be).
struct KeyWriteResult {
    int macros = 0;
    int keys = 0;
};

// A device's key table as its page sees it. The page names keys by
// position, each with its factory code; the device lists its keys in its
// own order, each by the code it stands for, so a page position is the
// first device key holding its factory code. Macro references are
// renumbered for the device in order of first use. The same for the
// keyboard's 126 keys and the mouse's buttons.
class KeyTable {
public:
    static constexpr uint8_t kUnmapped = 255;
    // Device keys a 512-byte table of 3-byte entries can hold.
    static constexpr size_t kMaxDeviceKeys = 170;

    KeyTable(std::span<const KeyCode> pageDefaults, std::span<const uint8_t> rawKeys, size_t deviceKeys);

    // Page position -> device key (kUnmapped when the device lacks it).
    std::vector<uint8_t> Map() const;
    // The device's table with `list`'s assignments at the mapped keys;
    // macros renumbered in order of first use into `macroOrder`, a
    // reference not below `macroCount` falls back to the key's default.
    // Empty when the key count is not usable.
    std::vector<uint8_t> Build(const std::vector<profiles::KeyAssignmentEntry>& list, size_t macroCount,
                               std::vector<int>& macroOrder) const;
    // The list the device's own table holds, for the page: its macro
    // numbers become places in the macro index again (as Build of
    // `profileList` numbered them); a reference beyond them, or a key the
    // device lacks, shows its default.
    std::vector<profiles::KeyAssignmentEntry> Read(const std::vector<profiles::KeyAssignmentEntry>& profileList,
                                                  size_t macroCount) const;

    // Results of preparing the macro image, besides 0 (an image, or none
    // needed) and a positive overrun (events too many, plus one).
    static constexpr int kMacroNoMemory = -1;
    // The image of the macros in `order` for a memory of `capacity` bytes.
    static int MacroImageOf(const profiles::MacroStore& macros, const std::vector<int>& order, size_t capacity,
                            std::vector<uint8_t>& image);

private:
    static bool IsMacro(uint8_t type);
    std::vector<uint8_t> BuildWith(const std::vector<uint8_t>& map,
                                   const std::vector<profiles::KeyAssignmentEntry>& list, size_t macroCount,
                                   std::vector<int>& macroOrder) const;
    uint8_t DeviceKeyOf(size_t position, const std::vector<uint8_t>& map) const;

    std::span<const KeyCode> m_pageDefaults;
    std::span<const uint8_t> m_rawKeys;
    size_t m_deviceKeys;
};

}  // namespace kx520
