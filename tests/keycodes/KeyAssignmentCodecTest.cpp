#include "keycodes/KeyAssignmentCodec.h"

#include <gtest/gtest.h>

#include "keycodes/KeyCodeTables.h"
#include "keycodes/KeyLabels.h"
#include "catalog/PageKeyDefaults.h"
#include "support/ProgramRun.h"

namespace kx520 {
namespace {

using profiles::KeyAction;
using profiles::KeyAssignmentEntry;

// Key 64 (A), as the page edits it.
KeyAssignmentEntry RecordOfA() {
    return {{64, 0x20, 0, 0x04}, {64, 0x20, 0, 0x04}};
}

// Encodes `form`, decodes the result into a fresh form, encodes that again.
KeyAction RoundTrip(const KeyForm& form, size_t macros = 3) {
    const KeyAssignmentEntry record = RecordOfA();
    const KeyAction code = KeyAssignmentCodec::Encode(form, record.assignment, record, macros);
    KeyForm shown;
    KeyAction kept = code;
    KeyAssignmentCodec::Decode(code, record.defaultAssignment, macros, shown, kept);
    EXPECT_EQ(shown.kind, form.kind);
    return KeyAssignmentCodec::Encode(shown, kept, record, macros);
}

TEST(KeyCodeTablesShape, RowsCountsAndTellingRows) {
    EXPECT_EQ(KeyCodeTable().size(), 142u);
    EXPECT_EQ(KeyScanTable().size(), 113u);
    EXPECT_EQ(MediaKeyTable().size(), 18u);
    EXPECT_EQ(ShortcutTable().size(), 11u);
    const auto codes = KeyCodeTable();
    EXPECT_STREQ(codes[91].name, "keyboard_key_Num Enter");
    EXPECT_EQ(codes[91].word, 0x0101);
    EXPECT_EQ(codes[53].param2, 0x31);  // backslash
    EXPECT_STREQ(codes[57].name, "keyboard_key_<");
    EXPECT_EQ(codes[57].param2, 0x36);
    EXPECT_STREQ(codes[130].name, "wed_stop");
    EXPECT_EQ(codes[140].type, 0xA0);
    EXPECT_EQ(codes[141].param1, 0x1B);
    const auto scans = KeyScanTable();
    EXPECT_EQ(scans[4].scan, 0x1D);  // right Ctrl
    EXPECT_EQ(scans[4].extended, 1);
    EXPECT_EQ(scans[91].scan, 0x1C);  // keypad Enter
    EXPECT_EQ(scans[91].extended, 1);
    // The media rows are the media table's usages, in another order.
    for (const KeyCodeRow& media : MediaKeyTable()) {
        EXPECT_GE(FindRow(codes, 0x30, media.param1, media.param2), 114) << media.name;
    }
    // Every default code of a page key with a row has the row's name.
    for (size_t position = 0; position < kPageKeyDefaults.size(); ++position) {
        const KeyCode& code = kPageKeyDefaults[position];
        if (FindRow(codes, code.type, code.param1, code.param2) >= 0) {
            EXPECT_FALSE(KeyLabels::OwnKeyName(position).empty()) << position;
        }
    }
    EXPECT_EQ(KeyLabels::OwnKeyName(126), "");
    EXPECT_EQ(KeyLabels::OwnKeyName(17), "keyboard_key_special");  // (0xA0, 0x24): in no table
    EXPECT_EQ(KeyLabels::OwnKeyName(18), "");                      // no key there
}

TEST(KeyCodec, EveryKindRoundTrips) {
    KeyForm mouse{.kind = kKindMouseButton, .row = 2};
    EXPECT_EQ(RoundTrip(mouse), (KeyAction{64, 0x10, 0x02, 0}));
    KeyForm swing{.kind = kKindSwing, .direction = 1, .count = "3", .delay = "2", .speed = "5"};
    EXPECT_EQ(RoundTrip(swing), (KeyAction{64, 0x11, 0x25, 0x83}));
    KeyForm wheel{.kind = kKindWheel, .direction = 1, .count = "3", .delay = "0", .speed = "1"};
    EXPECT_EQ(RoundTrip(wheel), (KeyAction{64, 0x12, 0x01, 0xFD}));
    KeyForm up{.kind = kKindWheel, .direction = 0, .count = "3"};
    EXPECT_EQ(RoundTrip(up), (KeyAction{64, 0x12, 0x00, 0x03}));
    KeyForm dpi{.kind = kKindDpi, .row = 2};
    EXPECT_EQ(RoundTrip(dpi), (KeyAction{64, 0x13, 3, 0}));
    KeyForm fire{.kind = kKindFire, .interval = "20", .fireCount = "5"};
    EXPECT_EQ(RoundTrip(fire), (KeyAction{64, 0x14, 20, 5}));
    KeyForm media{.kind = kKindMedia, .row = 1};
    EXPECT_EQ(RoundTrip(media), (KeyAction{64, 0x30, 0xCD, 0x00}));
    KeyForm system{.kind = kKindSystem, .row = 1};
    EXPECT_EQ(RoundTrip(system), (KeyAction{64, 0x40, 0x02, 0}));
    KeyForm macro{.kind = kKindMacro, .macro = 2, .macroMode = 1};
    EXPECT_EQ(RoundTrip(macro), (KeyAction{64, 0x70, 2, 1}));
    KeyForm repeat{.kind = kKindMacro, .macro = 1, .macroMode = 4, .repeat = "9"};
    EXPECT_EQ(RoundTrip(repeat), (KeyAction{64, 0x71, 1, 9}));
    KeyForm gun{.kind = kKindGun, .gun = 3};
    EXPECT_EQ(RoundTrip(gun), (KeyAction{64, 0x72, 3, 0}));
    KeyForm shortcut{.kind = kKindShortcut, .row = 4};
    EXPECT_EQ(RoundTrip(shortcut), (KeyAction{64, 0x20, 0x10, 0x06}));
    KeyForm fallback{.kind = kKindDefault};
    EXPECT_EQ(RoundTrip(fallback), RecordOfA().defaultAssignment);
}

TEST(KeyCodec, KeyboardKeysTakeLeftModifiersAndTheKeptUsage) {
    const KeyAssignmentEntry record = RecordOfA();
    KeyForm form{.kind = kKindKey, .modifier = 2, .keyText = "keyboard_key_B"};
    const KeyAction kept{64, 0x20, 0, 0x05};
    EXPECT_EQ(KeyAssignmentCodec::Encode(form, kept, record, 0), (KeyAction{64, 0x20, 0x02, 0x05}));
    form.keyText.clear();
    EXPECT_EQ(KeyAssignmentCodec::Encode(form, kept, record, 0), (KeyAction{64, 0x20, 0x02, 0}));

    // Right Shift + B shows as Shift (option 2) with B; (0x20, 0x10, 0) is a shortcut.
    KeyForm shown;
    KeyAction decoded{64, 0x20, 0x20, 0x05};
    KeyAssignmentCodec::Decode(decoded, record.defaultAssignment, 0, shown, decoded);
    EXPECT_EQ(shown.kind, kKindKey);
    EXPECT_EQ(shown.modifier, 2);
    EXPECT_EQ(shown.keyText, "keyboard_key_B");
    KeyForm ctrl;
    KeyAction alone{64, 0x20, 0x10, 0x00};
    KeyAssignmentCodec::Decode(alone, record.defaultAssignment, 0, ctrl, alone);
    EXPECT_EQ(ctrl.kind, kKindShortcut);
    EXPECT_EQ(ctrl.row, -1);
    // A usage no row names clears the text and the kept code's key.
    KeyForm unknown{.keyText = "keyboard_key_Q"};
    KeyAction odd{64, 0x20, 0, 0xF0};
    KeyAssignmentCodec::Decode(odd, record.defaultAssignment, 0, unknown, odd);
    EXPECT_EQ(unknown.modifier, -1);
    EXPECT_TRUE(unknown.keyText.empty());
    EXPECT_EQ(odd, (KeyAction{64, 0x20, 0, 0}));
}

TEST(KeyCodec, DefaultsUnknownTypesMacroBoundsAndClampedNumbers) {
    const KeyAssignmentEntry record = RecordOfA();
    KeyForm form;
    KeyAction same = record.defaultAssignment;
    KeyAssignmentCodec::Decode(same, record.defaultAssignment, 0, form, same);
    EXPECT_EQ(form.kind, kKindDefault);  // a keyboard key, but its own
    KeyAction strange{64, 0x99, 1, 2};
    KeyAssignmentCodec::Decode(strange, record.defaultAssignment, 0, form, strange);
    EXPECT_EQ(form.kind, -1);

    // A macro index at the count names no macro; below it, one.
    KeyForm macro{.macro = 7, .macroMode = 2};
    KeyAction atCount{64, 0x70, 3, 1};
    KeyAssignmentCodec::Decode(atCount, record.defaultAssignment, 3, macro, atCount);
    EXPECT_EQ(macro.kind, kKindMacro);
    EXPECT_EQ(macro.macro, -1);
    EXPECT_EQ(macro.macroMode, -1);
    KeyForm odd{.macroMode = 2};
    KeyAction badMode{64, 0x70, 1, 7};  // no play mode 7: no item, not the previous one
    KeyAssignmentCodec::Decode(badMode, record.defaultAssignment, 3, odd, badMode);
    EXPECT_EQ(odd.macro, 1);
    EXPECT_EQ(odd.macroMode, -1);
    KeyAction repeat{64, 0x71, 1, 9};
    KeyAssignmentCodec::Decode(repeat, record.defaultAssignment, 3, macro, repeat);
    EXPECT_EQ(macro.macro, 1);
    EXPECT_EQ(macro.macroMode, 4);
    EXPECT_TRUE(macro.repeatShown);
    EXPECT_EQ(macro.repeat, "9");
    // Without macros, or without a selection, the kept code stays.
    const KeyAction kept{64, 0x20, 0, 0x09};
    EXPECT_EQ(KeyAssignmentCodec::Encode({.kind = kKindMacro, .macro = 0}, kept, record, 0), kept);
    EXPECT_EQ(KeyAssignmentCodec::Encode({.kind = kKindMedia}, kept, record, 0), kept);

    // Counts stop at 127, delays and speeds at 15, not a number is 0.
    KeyForm big{.kind = kKindSwing, .count = "500", .delay = "99", .speed = "x"};
    EXPECT_EQ(KeyAssignmentCodec::Encode(big, kept, record, 0), (KeyAction{64, 0x11, 0xF0, 0x7F}));
    KeyForm negative{.kind = kKindWheel, .direction = 1, .count = "-3"};
    EXPECT_EQ(KeyAssignmentCodec::Encode(negative, kept, record, 0), (KeyAction{64, 0x12, 0, 0x80}));
}

TEST(KeyCodec, CapturedKeysLandOnTheirRowsAndRightCtrlIsStoredAsLeft) {
    const KeyAssignmentEntry record = RecordOfA();
    KeyForm form{.kind = kKindKey};
    KeyAction kept = record.assignment;
    ASSERT_TRUE(KeyAssignmentCodec::CaptureKey(0x1D, true, record, 0, form, kept));  // right Ctrl
    EXPECT_EQ(form.modifier, 1);
    EXPECT_EQ(kept, (KeyAction{64, 0x20, 0x10, 0}));
    EXPECT_EQ(KeyAssignmentCodec::Encode(form, kept, record, 0).param1, 0x01);
    ASSERT_TRUE(KeyAssignmentCodec::CaptureKey(0x1E, false, record, 0, form, kept));  // A
    EXPECT_EQ(form.keyText, "keyboard_key_A");
    EXPECT_EQ(kept, (KeyAction{64, 0x20, 0x01, 0x04}));
    ASSERT_TRUE(KeyAssignmentCodec::CaptureKey(0x1C, true, record, 0, form, kept));  // keypad Enter
    EXPECT_EQ(form.keyText, "keyboard_key_Num Enter");
    EXPECT_EQ(kept.param2, 0x58);
    ASSERT_TRUE(KeyAssignmentCodec::CaptureKey(0x4B, true, record, 0, form, kept));  // Left arrow
    EXPECT_EQ(kept.param2, 0x50);
    ASSERT_TRUE(KeyAssignmentCodec::CaptureKey(0x4B, false, record, 0, form, kept));  // keypad 4
    EXPECT_EQ(kept.param2, 0x5C);
    EXPECT_FALSE(KeyAssignmentCodec::CaptureKey(0x6F, false, record, 0, form, kept));  // no row
}

std::string Plain(const std::string& id) {
    const std::string prefix = "keyboard_key_";
    return id.rfind(prefix, 0) == 0 ? id.substr(prefix.size()) : "[" + id + "]";
}

std::string Label(const KeyAction& code, KeyLabels::Device device = KeyLabels::Device::kKeyboard,
                  const std::vector<std::string>& macros = {}) {
    const auto label = KeyLabels::AssignmentLabel(code, macros, device);
    return label ? label->Compose(Plain) : "<none>";
}

TEST(KeyLabelNames, EveryTypeNamesItsAssignment) {
    EXPECT_EQ(Label({0, 0x20, 0x02, 0x04}), "LShift+A");
    EXPECT_EQ(Label({0, 0x20, 0x04, 0x29}), "LAlt+Esc");
    EXPECT_EQ(Label({0, 0x20, 0, 0}), "[close_text]");
    EXPECT_EQ(Label({0, 0x20, 0, 0xF0}), "<none>");  // a usage no row has: nothing, not every key
    EXPECT_EQ(Label({0, 0x20, 0x10, 0x06}), "RCtrl+C[custem_copy]");
    EXPECT_EQ(Label({0, 0x30, 0xCD, 0x00}), "[media_play]");
    EXPECT_EQ(Label({0, 0x40, 0x02, 0x00}), "[system_sleep]");
    EXPECT_EQ(Label({0, 0x70, 1, 0}, KeyLabels::Device::kKeyboard, {"aim", "reload"}), "reload");
    EXPECT_EQ(Label({0, 0x71, 2, 0}, KeyLabels::Device::kKeyboard, {"aim", "reload"}), "<none>");
    EXPECT_EQ(Label({0, 0x72, 1, 0}), "关闭");
    EXPECT_EQ(Label({0, 0x72, 1, 0}, KeyLabels::Device::kMouse), "[gun_2_txt]");
    EXPECT_EQ(Label({0, 0xA0, 0x1B, 0}), "GM");
    EXPECT_EQ(Label({0, 0xA0, 0x00, 7}), "[close_text]");
    EXPECT_EQ(Label({0, 0xD0, 0xA2, 3}), "M3");
    EXPECT_EQ(Label({0, 0x11, 0, 0x83}, KeyLabels::Device::kMouse), "[mouse_key_right_Swing]");
    EXPECT_EQ(Label({0, 0x12, 0, 0x03}, KeyLabels::Device::kMouse), "[mouse_key_up_Swing]");
    EXPECT_EQ(Label({0, 0x10, 0x04, 0}, KeyLabels::Device::kMouse), "[mouse_key_middle]");
    EXPECT_EQ(Label({0, 0x22, 0, 4}), "[custem_copy]");
    EXPECT_EQ(Label({0, 0x50, 1, 1}), "<none>");
    EXPECT_EQ(Label({0, 0xEE, 1, 1}), "关闭");
    EXPECT_EQ(KeyLabels::RepeatDelayMs(2), 750);
    EXPECT_EQ(KeyLabels::RepeatDelayMs(9), 250);
}

}  // namespace
}  // namespace kx520

namespace kx520 {
namespace {

std::string XmlEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    }
    return out;
}

// Every name a key table or label uses has a text in every shipped language.
TEST(KeyTexts, EveryNameHasItsTextInEnglishAndChinese) {
    std::vector<std::string> ids;
    for (const auto& table : {KeyCodeTable(), MouseButtonTable(), DpiActionTable(), SystemKeyTable(),
                              MediaKeyTable(), ShortcutTable()}) {
        for (const KeyCodeRow& row : table) {
            ids.emplace_back(row.name);
        }
    }
    ids.insert(ids.end(), kGunNames.begin(), kGunNames.end());
    ids.insert(ids.end(), kShortcutFunctionNames.begin(), kShortcutFunctionNames.end());
    ids.insert(ids.end(), kMouseKeyNames.begin(), kMouseKeyNames.end());
    for (const char* id : {"close_text", "show_window", "mouse_key_smart_key", "mouse_key_DPI_shift",
                           "mouse_key_left_Swing", "mouse_key_right_Swing", "mouse_key_up_Swing",
                           "mouse_key_down_Swing", "mouse_key_fire_key", "Key_Set", "Repeat_Delay_Time",
                           "Repeat_input_text", "message_text_7", "message_text_16", "message_text_17"}) {
        ids.emplace_back(id);
    }
    for (const char* language : {"/skin/lang/en.xml", "/skin/lang/zh_CN.xml"}) {
        const std::string text = test::ReadAll(std::string(KX520_DATA_DIR) + language);
        ASSERT_FALSE(text.empty()) << language;
        for (const std::string& id : ids) {
            EXPECT_NE(text.find("id=\"" + XmlEscaped(id) + "\""), std::string::npos) << id << " in " << language;
        }
    }
}

}  // namespace
}  // namespace kx520

#include "keycodes/NativeScanCode.h"

namespace kx520 {
namespace {

TEST(NativeScanCodes, EveryKeyOfTheScanTableHasAnEvdevCode) {
    for (size_t row = 0; row < KeyScanTable().size(); ++row) {
        const KeyScanRow& wanted = KeyScanTable()[row];
        bool found = false;
        for (uint32_t evdev = 0; evdev < 256 && !found; ++evdev) {
            const auto key = Set1FromEvdev(evdev);
            found = key && key->scan == wanted.scan && key->extended == (wanted.extended != 0);
        }
        EXPECT_TRUE(found) << KeyCodeTable()[row].name;
    }
    EXPECT_EQ(Set1FromEvdev(30), (Set1Key{0x1E, false}));   // A
    EXPECT_EQ(Set1FromEvdev(97), (Set1Key{0x1D, true}));    // right Ctrl
    EXPECT_EQ(Set1FromEvdev(96), (Set1Key{0x1C, true}));    // keypad Enter
    EXPECT_EQ(Set1FromEvdev(75), (Set1Key{0x4B, false}));   // keypad 4, not Left
    EXPECT_FALSE(Set1FromEvdev(0).has_value());
    EXPECT_FALSE(Set1FromEvdev(240).has_value());
    EXPECT_EQ(EvdevFromNative(38), 30u);  // X11 and Wayland add 8
    EXPECT_TRUE(IsLockKey(58));
    EXPECT_FALSE(IsLockKey(30));
}

}  // namespace
}  // namespace kx520

#include "keycodes/KeyAssignmentWords.h"

namespace kx520 {
namespace {

KeyAction FromWords(const std::vector<std::string>& words) {
    std::string error;
    const auto parsed = ParseAssignmentWords(words, error);
    EXPECT_TRUE(parsed.has_value()) << error;
    if (!parsed) {
        return {};
    }
    const KeyAssignmentEntry record = RecordOfA();
    const KeyAction kept{64, 0x20, 0, parsed->usage};
    return KeyAssignmentCodec::Encode(parsed->form, kept, record, 3);
}

TEST(KeyWords, EveryFunctionKindFromWords) {
    EXPECT_EQ(FromWords({"key", "B", "--modifier", "shift"}), (KeyAction{64, 0x20, 0x02, 0x05}));
    EXPECT_EQ(FromWords({"key", "num 1"}), (KeyAction{64, 0x20, 0, 0x59}));
    EXPECT_EQ(FromWords({"media", "play"}), (KeyAction{64, 0x30, 0xCD, 0x00}));
    EXPECT_EQ(FromWords({"system", "sleep"}), (KeyAction{64, 0x40, 0x02, 0}));
    EXPECT_EQ(FromWords({"shortcut", "copy"}), (KeyAction{64, 0x20, 0x10, 0x06}));
    EXPECT_EQ(FromWords({"macro", "2", "--repeat", "3"}), (KeyAction{64, 0x71, 2, 3}));
    EXPECT_EQ(FromWords({"macro", "1", "--mode", "2"}), (KeyAction{64, 0x70, 1, 2}));
    EXPECT_EQ(FromWords({"mouse", "right"}), (KeyAction{64, 0x10, 0x02, 0}));
    EXPECT_EQ(FromWords({"wheel", "down", "3", "--speed", "1"}), (KeyAction{64, 0x12, 0x01, 0xFD}));
    EXPECT_EQ(FromWords({"scroll", "right", "3"}), (KeyAction{64, 0x11, 0x00, 0x83}));
    EXPECT_EQ(FromWords({"dpi", "cycle"}), (KeyAction{64, 0x13, 3, 0}));
    EXPECT_EQ(FromWords({"gun", "4"}), (KeyAction{64, 0x72, 3, 0}));
    EXPECT_EQ(FromWords({"fire", "20", "5"}), (KeyAction{64, 0x14, 20, 5}));
    EXPECT_EQ(FromWords({"default"}), RecordOfA().defaultAssignment);
}

TEST(KeyWords, MistakesNameWhatIsAllowed) {
    std::string error;
    EXPECT_FALSE(ParseAssignmentWords({"media", "dance"}, error));
    EXPECT_NE(error.find("play"), std::string::npos);
    EXPECT_FALSE(ParseAssignmentWords({"key", "LShift"}, error));  // a modifier is not a key
    EXPECT_FALSE(ParseAssignmentWords({"key", "B", "--modifier", "hyper"}, error));
    EXPECT_NE(error.find("ctrl"), std::string::npos);
    EXPECT_FALSE(ParseAssignmentWords({"macro", "x"}, error));
    EXPECT_FALSE(ParseAssignmentWords({"macro", "1", "--repeat", "0"}, error));
    EXPECT_FALSE(ParseAssignmentWords({"wheel", "sideways", "3"}, error));
    EXPECT_FALSE(ParseAssignmentWords({"wheel", "up", "300"}, error));
    EXPECT_FALSE(ParseAssignmentWords({"scroll", "left", "3", "--delay", "16"}, error));
    EXPECT_FALSE(ParseAssignmentWords({"gun", "5"}, error));
    EXPECT_NE(error.find("1, 2, 3, 4"), std::string::npos) << error;
    EXPECT_FALSE(ParseAssignmentWords({"dpi"}, error));
    EXPECT_FALSE(ParseAssignmentWords({"fly"}, error));
    EXPECT_NE(error.find("shortcut"), std::string::npos);
    EXPECT_FALSE(ParseAssignmentWords({}, error));
}

}  // namespace
}  // namespace kx520
