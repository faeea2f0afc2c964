#pragma once

#include <json/value.h>

#include <string>

namespace kx520 {

// How one macro action row reads: the name label (a language id and its
// style), the direction label (its style, and for moves the distance) and
// the delay shown. The same rule for loading, moving, inserting and
// recording rows.
struct MacroActionView {
    std::string name;
    std::string nameStyle;
    std::string direction;
    std::string directionStyle;
    std::string delay;
};

inline constexpr const char* kMacroKeyboardStyle = "macro_label_keyboard_style";
inline constexpr const char* kMacroMouseStyle = "macro_label_mouse_style";
inline constexpr const char* kMacroDownStyle = "macro_label_down_style";
inline constexpr const char* kMacroUpStyle = "macro_label_up_style";
inline constexpr const char* kMacroTextStyle = "macro_label_text_style";

MacroActionView RenderActionRow(const Json::Value& action);

}  // namespace kx520
