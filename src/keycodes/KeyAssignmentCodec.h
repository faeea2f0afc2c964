#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "profiles/KeyAction.h"

namespace kx520 {

// What the key assignment page's controls hold, as the codec reads and
// writes them: the function kind and, per kind, its combo items, edit
// texts and options. -1 is "nothing selected".
struct KeyForm {
    int kind = -1;        // 0 default .. 11 shortcut; -1: no kind (the page hides)
    int row = -1;         // the table row of kinds 1, 4, 7, 8 and 11
    int direction = 0;    // kinds 2 and 3: item 0 or 1
    std::string count;    // kinds 2 and 3
    std::string delay;
    std::string speed;
    std::string interval;   // kind 5
    std::string fireCount;  // kind 5
    int modifier = -1;      // kind 6: option 0 none, 1 Ctrl, 2 Shift, 3 Alt, 4 Win
    std::string keyText;    // kind 6: the key's name id, "" when empty
    int macro = -1;         // kind 9
    int macroMode = -1;     // kind 9: play mode 0-3, or 4: repeat a count
    bool repeatShown = false;
    std::string repeat;     // kind 9, mode 4
    int gun = -1;           // kind 10

    friend bool operator==(const KeyForm&, const KeyForm&) = default;
};

enum KeyFunctionKind {
    kKindDefault = 0,
    kKindMouseButton = 1,
    kKindSwing = 2,
    kKindWheel = 3,
    kKindDpi = 4,
    kKindFire = 5,
    kKindKey = 6,
    kKindMedia = 7,
    kKindSystem = 8,
    kKindMacro = 9,
    kKindGun = 10,
    kKindShortcut = 11,
};

// The key assignment page's encoding and decoding, as pure functions: a
// form and a key's record in, a code or a form out.
class KeyAssignmentCodec {
public:
    static constexpr uint8_t kMaxCount = 127;
    static constexpr uint8_t kMaxNibble = 15;
    static constexpr int kRepeatModeItem = 4;

    // The current half the form builds. `kept`: the current half as last
    // decoded or captured (what a kind keeps when nothing is selected, and
    // the usage of a keyboard key); `record`'s default half is kind 0's.
    static profiles::KeyAction Encode(const KeyForm& form, const profiles::KeyAction& kept,
                                      const profiles::KeyAssignmentEntry& record, size_t macroCount);

    // Shows `half` (the key's default `defaultHalf`) in `form`: controls a
    // code does not name keep what they showed. `kept` is the page's kept
    // current code, which decoding may clear. `form.kind` is -1 for a code
    // of no kind.
    static void Decode(const profiles::KeyAction& half, const profiles::KeyAction& defaultHalf,
                       size_t macroCount, KeyForm& form, profiles::KeyAction& kept);

    // A key pressed while the key edit captures: its set-1 scan code and
    // extended flag. False (nothing changed) for a key that cannot be
    // assigned; else `form` and `kept` show the key.
    static bool CaptureKey(uint8_t scan, bool extended, const profiles::KeyAssignmentEntry& record,
                           size_t macroCount, KeyForm& form, profiles::KeyAction& kept);

    // Modifier option of key code table row `row` (0-7): left and right give
    // the same option (1 Ctrl, 2 Shift, 3 Alt, 4 Win).
    static int ModifierOption(size_t row) { return static_cast<int>((row + 1) % 5 + (row + 1) / 5); }

private:
    static uint8_t Number(const std::string& text, unsigned most);
};

}  // namespace kx520
