#include "app/KeyboardRun.h"

namespace kx520::test {

namespace {

bool Run(const std::function<void()>& prepare) {
    if (prepare) {
        prepare();
    }
    return true;
}

}  // namespace

KeyboardRun::KeyboardRun(const std::function<void()>& prepare)
    : trace(temp.Path() + "/trace"),
      prepared(Run(prepare)),
      app("--simulate=keyboard --automation", "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "'") {}

bool KeyboardRun::Started(const std::function<bool(const std::string& trace)>& connected) {
    return app.Ready() && WaitFor([&] { return connected(trace); });
}

}  // namespace kx520::test
