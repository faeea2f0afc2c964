#include "keycodes/KeyAssignmentCodec.h"

#include <algorithm>
#include <charconv>
#include <span>

#include "keycodes/KeyCodeTables.h"

namespace kx520 {

namespace {

using profiles::KeyAction;

constexpr uint8_t kTypeMouse = 0x10;
constexpr uint8_t kTypeSwing = 0x11;
constexpr uint8_t kTypeWheel = 0x12;
constexpr uint8_t kTypeDpi = 0x13;
constexpr uint8_t kTypeFire = 0x14;
constexpr uint8_t kTypeKey = 0x20;
constexpr uint8_t kTypeMedia = 0x30;
constexpr uint8_t kTypeSystem = 0x40;
constexpr uint8_t kTypeMacroMode = 0x70;
constexpr uint8_t kTypeMacroRepeat = 0x71;
constexpr uint8_t kTypeGun = 0x72;
constexpr uint8_t kTypeShortcut = 0xB0;
constexpr uint8_t kRightCtrl = 0x10;

// The table a combo kind picks its rows from.
std::span<const KeyCodeRow> TableOf(int kind) {
    switch (kind) {
        case kKindMouseButton: return MouseButtonTable();
        case kKindDpi: return DpiActionTable();
        case kKindMedia: return MediaKeyTable();
        case kKindSystem: return SystemKeyTable();
        case kKindShortcut: return ShortcutTable();
        default: return {};
    }
}

KeyAction WithCode(const KeyAction& base, uint8_t type, uint8_t param1, uint8_t param2) {
    return {base.keyIndex, type, param1, param2};
}

bool SameCode(const KeyAction& a, const KeyAction& b) {
    return a.type == b.type && a.param1 == b.param1 && a.param2 == b.param2;
}

std::string Decimal(unsigned value) {
    return std::to_string(value);
}

// The row of `table` whose param1 and param2 are the code's, or -1.
int RowOfParams(std::span<const KeyCodeRow> table, const KeyAction& code) {
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].param1 == code.param1 && table[i].param2 == code.param2) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The first plain key row (8 on) with this usage, or -1.
int PlainKeyRow(uint8_t usage) {
    const auto table = KeyCodeTable();
    for (size_t i = kModifierRows; i < table.size(); ++i) {
        if (table[i].type == kTypeKey && table[i].param1 == 0 && table[i].param2 == usage) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

uint8_t Nibbles(uint8_t delay, uint8_t speed) {
    return static_cast<uint8_t>((delay & 0x0F) << 4 | (speed & 0x0F));
}

}  // namespace

uint8_t KeyAssignmentCodec::Number(const std::string& text, unsigned most) {
    // Not a number counts as 0; a number beyond the field's range is its maximum.
    unsigned long value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(begin, end, value);
    if (begin == end || last != end) {
        return 0;
    }
    if (error == std::errc::result_out_of_range || value > most) {
        return static_cast<uint8_t>(most);
    }
    return static_cast<uint8_t>(value);
}

KeyAction KeyAssignmentCodec::Encode(const KeyForm& form, const KeyAction& kept,
                                     const profiles::KeyAssignmentEntry& record, size_t macroCount) {
    switch (form.kind) {
        case kKindMouseButton:
        case kKindDpi:
        case kKindMedia:
        case kKindSystem:
        case kKindShortcut: {
            const auto table = TableOf(form.kind);
            if (form.row < 0 || static_cast<size_t>(form.row) >= table.size()) {
                return kept;
            }
            const KeyCodeRow& row = table[static_cast<size_t>(form.row)];
            return WithCode(kept, row.type, row.param1, row.param2);
        }
        case kKindSwing:
        case kKindWheel: {
            const uint8_t nibbles =
                Nibbles(Number(form.delay, kMaxNibble), Number(form.speed, kMaxNibble));
            const uint8_t count = Number(form.count, kMaxCount);
            uint8_t param2 = count & 0x7F;
            if (form.direction == 1) {
                param2 = form.kind == kKindSwing ? static_cast<uint8_t>(count | 0x80)
                                                 : static_cast<uint8_t>((128 - count) | 0x80);
            }
            return WithCode(kept, form.kind == kKindSwing ? kTypeSwing : kTypeWheel, nibbles, param2);
        }
        case kKindFire:
            return WithCode(kept, kTypeFire, Number(form.interval, 0xFF), Number(form.fireCount, 0xFF));
        case kKindKey: {
            const uint8_t modifier =
                form.modifier >= 1 && form.modifier <= 4 ? static_cast<uint8_t>(1u << (form.modifier - 1)) : 0;
            return WithCode(kept, kTypeKey, modifier, form.keyText.empty() ? 0 : kept.param2);
        }
        case kKindMacro:
            if (form.macro < 0 || macroCount == 0) {
                return kept;
            }
            if (form.macroMode == kRepeatModeItem) {
                return WithCode(kept, kTypeMacroRepeat, static_cast<uint8_t>(form.macro),
                                Number(form.repeat, 0xFF));
            }
            return WithCode(kept, kTypeMacroMode, static_cast<uint8_t>(form.macro),
                            static_cast<uint8_t>(std::clamp(form.macroMode, 0, 3)));
        case kKindGun:
            return WithCode(kept, kTypeGun, static_cast<uint8_t>(std::clamp(form.gun, 0, 3)), 0);
        default:
            return WithCode(kept, record.defaultAssignment.type, record.defaultAssignment.param1,
                            record.defaultAssignment.param2);
    }
}

void KeyAssignmentCodec::Decode(const KeyAction& half, const KeyAction& defaultHalf,
                                size_t macroCount, KeyForm& form, KeyAction& kept) {
    if (SameCode(half, defaultHalf)) {
        form.kind = kKindDefault;
        return;
    }
    auto select = [&form](int kind, std::span<const KeyCodeRow> table, const KeyAction& code) {
        form.kind = kind;
        form.row = RowOfParams(table, code);
    };
    auto nibbles = [&form, &half](int kind) {
        form.kind = kind;
        form.delay = Decimal(half.param1 >> 4);
        form.speed = Decimal(half.param1 & 0x0F);
        const bool back = (half.param2 & 0x80) != 0;
        const unsigned count = half.param2 & 0x7F;
        form.count = Decimal(kind == kKindWheel && back ? 128 - count : count);
        form.direction = back ? 1 : 0;
    };
    switch (half.type) {
        case 0x00:
            form.kind = kKindDefault;
            return;
        case kTypeMouse: select(kKindMouseButton, MouseButtonTable(), half); return;
        case kTypeSwing: nibbles(kKindSwing); return;
        case kTypeWheel: nibbles(kKindWheel); return;
        case kTypeDpi: select(kKindDpi, DpiActionTable(), half); return;
        case kTypeFire:
            form.kind = kKindFire;
            form.interval = Decimal(half.param1);
            form.fireCount = Decimal(half.param2);
            return;
        case kTypeMedia: select(kKindMedia, MediaKeyTable(), half); return;
        case kTypeSystem: select(kKindSystem, SystemKeyTable(), half); return;
        case kTypeMacroMode:
        case kTypeMacroRepeat: {
            form.kind = kKindMacro;
            // An index at or beyond the count names no macro.
            const bool known = half.param1 < macroCount;
            form.macro = known ? half.param1 : -1;
            if (half.type == kTypeMacroMode) {
                // Play modes are 0-3; any other byte names no mode item.
                form.macroMode = known && half.param2 <= 3 ? half.param2 : -1;
                form.repeatShown = false;
            } else {
                form.macroMode = kRepeatModeItem;
                form.repeatShown = known;
                form.repeat = Decimal(half.param2);
            }
            return;
        }
        case kTypeGun:
            form.kind = kKindGun;
            form.gun = half.param1 <= 3 ? half.param1 : -1;
            return;
        case kTypeShortcut:
            form.kind = kKindShortcut;
            form.row = -1;
            return;
        case kTypeKey:
            break;
        default:
            form.kind = -1;
            return;
    }
    // A keyboard key: right Ctrl alone and codes of 0x81 and up are shortcuts.
    if (half.param1 == kRightCtrl || half.param1 >= 0x81) {
        form.kind = kKindShortcut;
        form.row = RowOfParams(ShortcutTable(), half);
        return;
    }
    form.kind = kKindKey;
    const auto table = KeyCodeTable();
    if (half.param1 != 0) {
        form.modifier = 0;
        for (size_t i = 0; i < kModifierRows; ++i) {
            if (table[i].param1 == half.param1) {
                form.modifier = ModifierOption(i);
                break;
            }
        }
        if (const int row = PlainKeyRow(half.param2); row >= 0) {
            form.keyText = table[static_cast<size_t>(row)].name;
        }
        return;
    }
    if (const int row = FindRow(table, kTypeKey, half.param1, half.param2); row >= 0) {
        form.modifier = 0;
        form.keyText = table[static_cast<size_t>(row)].name;
        return;
    }
    form.modifier = -1;
    form.keyText.clear();
    kept.param1 = 0;
    kept.param2 = 0;
}

bool KeyAssignmentCodec::CaptureKey(uint8_t scan, bool extended,
                                    const profiles::KeyAssignmentEntry& record, size_t macroCount,
                                    KeyForm& form, KeyAction& kept) {
    const auto scans = KeyScanTable();
    const auto codes = KeyCodeTable();
    size_t row = scans.size();
    for (size_t i = 0; i < scans.size(); ++i) {
        if (scans[i].scan == scan && (scans[i].extended != 0) == extended) {
            row = i;
            break;
        }
    }
    if (row == scans.size() || codes[row].type != kTypeKey) {
        return false;
    }
    if (row < kModifierRows) {
        form.modifier = ModifierOption(row);
        form.keyText.clear();
        kept = WithCode(kept, kTypeKey, codes[row].param1, 0);
        return true;
    }
    uint8_t modifiers = 0;
    if (form.modifier < 0) {
        form.modifier = 0;
    } else {
        KeyForm asKey = form;
        asKey.kind = kKindKey;
        modifiers = Encode(asKey, kept, record, macroCount).param1;
    }
    form.keyText = codes[row].name;
    kept = WithCode(kept, kTypeKey, modifiers, codes[row].param2);
    return true;
}

}  // namespace kx520
