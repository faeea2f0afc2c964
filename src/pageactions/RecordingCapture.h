#pragma once

#include <memory>
#include <string>

#include "desktop/InputCapture.h"

namespace kx520 {

class AppWindow;

// The main window's input capture for macro recording: what it hears goes
// to the window as the hook messages of the recording's mode, with the
// records the macro page reads, while the recording lasts.
class RecordingCapture {
public:
    RecordingCapture(AppWindow& window, InputCapture::Choice choice);
    ~RecordingCapture();

    // `mode`: 4 record, 8 insert before, 16 insert after, 32 replace.
    InputCapture::Scope Start(int mode, std::string& why);
    void Stop();
    bool Running() const { return m_capture.Running() != InputCapture::Scope::kOff; }
    bool Inject(const CapturedInput& input) { return m_capture.Inject(input); }

private:
    void Deliver(const CapturedInput& input);

    AppWindow& m_window;
    InputCapture m_capture;
    int m_mode = 0;
};

}  // namespace kx520
