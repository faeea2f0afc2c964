#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "desktop/InputSource.h"

namespace kx520 {

// Where recording hears the user: the machine's input devices when they
// may be read, else the application's own window. One capture at a time;
// starting again stops the previous one.
class InputCapture {
public:
    // KX520_INPUT_CAPTURE chooses: "evdev", "window", "none" (nothing can
    // be heard: a failed start), anything else tries evdev, then the window.
    enum class Choice { kAuto, kEvdev, kWindow, kNone };
    enum class Scope { kOff, kSystemWide, kWindow };

    explicit InputCapture(Choice choice = Choice::kAuto, std::string inputFolder = "/dev/input");
    ~InputCapture();
    static Choice ChoiceFromName(std::string_view name);

    // Off with the reason in `why` when nothing can be heard. With the
    // window, `why` tells why the machine cannot be.
    Scope Start(InputSource::Sink sink, std::string& why);
    void Stop();
    Scope Running() const { return m_scope; }
    // A press or release as if heard (tests and automation); false when
    // nothing is being captured.
    bool Inject(const CapturedInput& input);

private:
    Choice m_choice;
    std::string m_inputFolder;
    std::unique_ptr<InputSource> m_source;
    InputSource::Sink m_sink;
    Scope m_scope = Scope::kOff;
};

}  // namespace kx520
