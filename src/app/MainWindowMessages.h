#pragma once

#include <cstdint>

namespace kx520 {

class CMainWnd;
class CMacroControlUI;
class MessageTable;
struct RegisteredMessage;

// The main window's own message rows: the registered messages of other
// programs and of its input capture, power and display changes, device
// arrival, removal and presence, language and settings messages, and its
// fit timer. Arrivals and removals run while the system sleeps too: the
// scan has already changed the slots by then.
class MainWindowMessages {
public:
    explicit MainWindowMessages(CMainWnd& window) : m_window(window) {}

    void AddTo(MessageTable& messages, MessageTable& timers);

private:
    void AddRegistered(MessageTable& messages);
    void AddNumbered(MessageTable& messages);
    void OnLightCommand(uintptr_t wParam, intptr_t lParam);
    // The macro page of the current device while it records; else null.
    CMacroControlUI* RecordingPage() const;
    // Recording's hook messages: the message and the address of its record.
    void OnRecordedKey(uintptr_t message, intptr_t record);
    void OnRecordedMouse(uintptr_t message, intptr_t record);
    void OnDevicePresence(uintptr_t index, intptr_t present);

    CMainWnd& m_window;
};

}  // namespace kx520
