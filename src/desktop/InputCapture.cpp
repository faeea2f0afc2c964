#include "desktop/InputCapture.h"

#include "platform/DebugTrace.h"
#include "desktop/EvdevInputSource.h"
#include "desktop/WindowInputSource.h"

namespace kx520 {

InputCapture::InputCapture(Choice choice, std::string inputFolder)
    : m_choice(choice), m_inputFolder(std::move(inputFolder)) {}

InputCapture::~InputCapture() {
    Stop();
}

InputCapture::Choice InputCapture::ChoiceFromName(std::string_view name) {
    if (name == "evdev") {
        return Choice::kEvdev;
    }
    if (name == "window") {
        return Choice::kWindow;
    }
    if (name == "none") {
        return Choice::kNone;
    }
    return Choice::kAuto;
}

InputCapture::Scope InputCapture::Start(InputSource::Sink sink, std::string& why) {
    Stop();
    why.clear();
    if (m_choice == Choice::kNone) {
        why = "input capture is switched off (KX520_INPUT_CAPTURE=none)";
        return Scope::kOff;
    }
    m_sink = std::move(sink);
    // The source hands input to the capture, so an injected event and a
    // heard one take the same way.
    auto forward = [this](const CapturedInput& input) {
        if (m_sink) {
            m_sink(input);
        }
    };
    if (m_choice != Choice::kWindow) {
        auto evdev = std::make_unique<EvdevInputSource>(m_inputFolder);
        if (evdev->Start(forward, why)) {
            m_source = std::move(evdev);
            m_scope = Scope::kSystemWide;
            return m_scope;
        }
        DebugTrace("recording hears the window only: " + why);
        if (m_choice == Choice::kEvdev) {
            m_sink = nullptr;
            return Scope::kOff;
        }
    }
    auto window = std::make_unique<WindowInputSource>();
    std::string windowWhy;
    if (!window->Start(forward, windowWhy)) {
        why = windowWhy;
        m_sink = nullptr;
        return Scope::kOff;
    }
    m_source = std::move(window);
    m_scope = Scope::kWindow;
    return m_scope;
}

void InputCapture::Stop() {
    if (m_source) {
        m_source->Stop();
        m_source.reset();
    }
    m_sink = nullptr;
    m_scope = Scope::kOff;
}

bool InputCapture::Inject(const CapturedInput& input) {
    if (m_scope == Scope::kOff || !m_sink) {
        return false;
    }
    m_sink(input);
    return true;
}

}  // namespace kx520
