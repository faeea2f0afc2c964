#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kx520 {

// One code of a key function table: a word (the row number, or for the key
// code table the Windows virtual-key code, 0x100 added for extended keys),
// the function code (type, param1, param2) and the language id of its name.
struct KeyCodeRow {
    uint16_t word;
    uint8_t type;
    uint8_t param1;
    uint8_t param2;
    const char* name;
};

// A key's PC set-1 scan code and extended flag, parallel to the first 113
// rows of the key code table.
struct KeyScanRow {
    uint16_t word;
    uint8_t scan;
    uint8_t extended;
};

// The key assignment page's tables; the skin's combo items are in row order.
std::span<const KeyCodeRow> MouseButtonTable();  // 5 rows, type 0x10
std::span<const KeyCodeRow> DpiActionTable();    // 3 rows, type 0x13
std::span<const KeyCodeRow> SystemKeyTable();    // 3 rows, type 0x40
std::span<const KeyCodeRow> MediaKeyTable();     // 18 rows, type 0x30
std::span<const KeyCodeRow> ShortcutTable();     // 11 rows, right Ctrl + a key
// 142 rows: 8 modifiers, 106 plain keys, 18 media, 3 system, M1-M5, Fn, GM.
std::span<const KeyCodeRow> KeyCodeTable();
std::span<const KeyScanRow> KeyScanTable();      // 113 rows

inline constexpr size_t kModifierRows = 8;
inline constexpr std::array<const char*, 4> kGunNames{"gun_1_txt", "gun_2_txt", "gun_3_txt",
                                                      "gun_4_txt"};
// Shortcut functions (type 0x22, param1 0, param2 0-8).
inline constexpr std::array<const char*, 9> kShortcutFunctionNames{
    "custem_open", "custem_new",   "custem_undo",  "custem_save",      "custem_copy",
    "custem_cut",  "custem_paste", "custem_find",  "custem_select_all"};
// The mouse's eleven buttons by index.
inline constexpr std::array<const char*, 11> kMouseKeyNames{
    "mouse_key_left",    "mouse_key_right",    "mouse_key_middle",   "mouse_key_forward",
    "mouse_key_back",    "mouse_key_DPI_add",  "mouse_key_DPI_sub",  "mouse_key_DPI_loop",
    "keyboard_key_GM",   "mouse_key_M8_key",   "mouse_key_fire_key"};

// The first row of `table` holding exactly this code, or -1.
int FindRow(std::span<const KeyCodeRow> table, uint8_t type, uint8_t param1, uint8_t param2);

}  // namespace kx520
