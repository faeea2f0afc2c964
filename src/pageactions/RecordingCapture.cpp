#include "pageactions/RecordingCapture.h"

#include <QCursor>

#include "appwindow/AppWindow.h"
#include "macros/HookRecord.h"
#include "ui/MessageRegistry.h"

namespace kx520 {

RecordingCapture::RecordingCapture(AppWindow& window, InputCapture::Choice choice)
    : m_window(window), m_capture(choice) {}

RecordingCapture::~RecordingCapture() {
    Stop();
}

InputCapture::Scope RecordingCapture::Start(int mode, std::string& why) {
    if (HookMessagesOf(mode).keyboard == nullptr) {
        why = "no recording mode " + std::to_string(mode);
        return InputCapture::Scope::kOff;
    }
    m_mode = mode;
    return m_capture.Start([this](const CapturedInput& input) { Deliver(input); }, why);
}

void RecordingCapture::Stop() {
    m_capture.Stop();
    m_mode = 0;
}

void RecordingCapture::Deliver(const CapturedInput& input) {
    const HookMessageNames names = HookMessagesOf(m_mode);
    if (names.keyboard == nullptr) {
        return;
    }
    // The records live for the call, as the pages expect.
    if (auto key = KeyHookFrom(input)) {
        m_window.SendMessage(ui::RegisterWindowMessage(QLatin1String(names.keyboard)), key->message,
                             reinterpret_cast<qintptr>(&key->record));
        return;
    }
    CapturedInput located = input;
    if (!located.hasPoint) {
        // The input devices know no pointer position; the desktop does.
        const QPoint point = QCursor::pos();
        located.x = point.x();
        located.y = point.y();
    }
    if (auto button = MouseHookFrom(located)) {
        m_window.SendMessage(ui::RegisterWindowMessage(QLatin1String(names.mouse)), button->message,
                             reinterpret_cast<qintptr>(&button->record));
    }
}

}  // namespace kx520
