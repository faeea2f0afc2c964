#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QStringList>

class QDBusInterface;
class QJsonObject;

namespace kx520::ctl {

// Talks to the running application over the session bus.
class AppClient {
public:
    // Each returns the exit code: 0 done, 1 failed (the application is not
    // running, or refused), 2 usage error.
    static int Send(const std::vector<std::string>& args);
    // sim VERB PRODUCT ...; sim state PRODUCT prints what the virtual
    // product holds (its lighting), as text or JSON.
    static int Sim(const std::vector<std::string>& args, bool json);
    static int Status(bool json);
    // keyboard show: what the application holds for the keyboard.
    static int Keyboard(const std::vector<std::string>& args, bool json);
    // lighting KIND [set OPTIONS]: a device's light setting, or a change.
    static int Lighting(const std::vector<std::string>& args, bool json);
    // mouse show | dpi set STAGE VALUE [options] | dpi active STAGE |
    // rate N | assign POS FUNCTION [ARGS] | save.
    static int Mouse(const std::vector<std::string>& args, bool json);
    static int Headset(const std::vector<std::string>& args, bool json);
    // mouse recoil list | show GUN | set GUN BULLET [--x N] [--y N] [--delay MS] |
    // reset GUN | import GUN FILE | export GUN FILE.
    static int Recoil(const std::vector<std::string>& args, bool json);
    // mousepad show: the onboard profile, the record as read, the light.
    static int MousePad(const std::vector<std::string>& args, bool json);
    // KIND assign POS FUNCTION [ARGS] and KIND save, KIND keyboard or mouse.
    static int AssignKey(const std::string& kind, const std::vector<std::string>& args);
    static int SaveKeys(const std::string& kind);
    // macro VERB KIND ...: the macros of the keyboard's or mouse's page.
    static int Macro(const std::vector<std::string>& args, bool json);
    // The running application, or nothing (and a message on stderr).
    static std::unique_ptr<QDBusInterface> Connect();
    // `method` with `args`, answering a JSON object: false (the reason on
    // stderr) when the application is not there or answers {"error": why}.
    // `timeoutMs` 0: the bus's default wait for the answer.
    static bool CallJson(const char* method, const QStringList& args, QJsonObject& answer, int timeoutMs = 0);
    // CallJson with `args`, the answer printed as indented JSON, else by
    // `print` (nothing without one); the exit code.
    static int CallAndPrint(const char* method, const std::vector<std::string>& args, bool json,
                            const std::function<void(const QJsonObject&)>& print, int timeoutMs = 0);
    // update check: the update check's rows. language list|set ID.
    static int Update(const std::vector<std::string>& args, bool json);
    static int Language(const std::vector<std::string>& args, bool json);

private:
    static int VirtualState(QDBusInterface& app, const std::string& product, bool json);
};

}  // namespace kx520::ctl
