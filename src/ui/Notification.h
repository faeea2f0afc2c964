#pragma once

#include <QString>
#include <QtGlobal>

namespace kx520::ui {

class CControlUI;

// What a control tells its window: a type ("click", "selectchanged",
// "valuechanged", ...), the control and two parameters. Delivered
// synchronously on the UI thread to the window's Notify.
struct Notification {
    QString type;
    CControlUI* sender = nullptr;
    quintptr wParam = 0;
    qintptr lParam = 0;
};

// Notification types the toolkit raises itself.
namespace notify {
inline constexpr const char* kWindowInit = "windowinit";
inline constexpr const char* kWindowSize = "windowsize";
inline constexpr const char* kClick = "click";
inline constexpr const char* kDbClick = "dbclick";
inline constexpr const char* kSelectChanged = "selectchanged";
inline constexpr const char* kValueChanged = "valuechanged";
inline constexpr const char* kMoveValueChanged = "movevaluechanged";
inline constexpr const char* kItemSelect = "itemselect";
inline constexpr const char* kItemClick = "itemclick";
inline constexpr const char* kItemActivate = "itemactivate";
inline constexpr const char* kTextChanged = "textchanged";
inline constexpr const char* kKillFocus = "killfocus";
inline constexpr const char* kSetFocus = "setfocus";
inline constexpr const char* kColorChanged = "colorchanged";
inline constexpr const char* kMenu = "menu";
inline constexpr const char* kTimer = "timer";
inline constexpr const char* kTabSelect = "tabselect";
}  // namespace notify

}  // namespace kx520::ui
