#pragma once

#include "macros/MacroEditor.h"

namespace kx520 {

class AppWindow;
class RecordingCapture;
class CMacroControlUI;
class CZentrelUSBDevice;
class NotificationRouter;

// The rows of the macro page of the current keyboard or mouse: the macro
// list, the action rows, the row menu and recording.
class MacroPageActions {
public:
    MacroPageActions(AppWindow& window, RecordingCapture& capture) : m_window(window), m_capture(capture) {}

    void AddRoutes(NotificationRouter& routes);

    // Recording on the current device's page: the page locks, input is
    // captured and the rest of the window waits. A capture that cannot
    // start unlocks the page again and says why.
    bool StartRecording(MacroEditor::TimeMode time, MacroEditor::InsertMode insert);
    // The page unlocks, capture ends, the macro is saved and the keys and
    // macros go to the device (`write` false: the device is going away).
    void StopRecording(bool write = true);
    // Removes the macro selected on `device`'s page after asking (unless
    // `ask` is false: a script's command is its confirmation), in every
    // profile of the device: keys bound to it take their defaults, later
    // macros move up. False when nothing was removed.
    bool DeleteSelectedMacro(CZentrelUSBDevice& device, bool ask = true);

private:
    CZentrelUSBDevice* Device() const;
    // Saves the rows; more than 250 are kept and the user is told.
    void Save(CMacroControlUI& page);
    // The macro store's last failure, to the user.
    void TellStoreFailed(const CMacroControlUI& page);
    void AddMenuItems();
    // A recording trigger's time mode: constant when the page says so.
    MacroEditor::TimeMode PageTime(CMacroControlUI& page) const;

    AppWindow& m_window;
    RecordingCapture& m_capture;
};

}  // namespace kx520
