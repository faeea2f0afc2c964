#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <list>
#include <string>
#include <thread>
#include <vector>

#include "catalog/DeviceCatalog.h"

namespace kx520 {

// `kx520ctl update check`: the settings window's update check, run for
// another program. Each check runs on a thread of its own and answers
// with a JSON object: `state` (1 updates found, 2 service unreachable, 4
// up to date), `failures`, `service` (the address asked, "" for none) and
// `rows`, each {"name", "current", "offered", "status"}; or {"error": why}.
class UpdateCommand {
public:
    using Reply = std::function<void(const QString& answer)>;

    UpdateCommand() = default;
    // Stops the checks still running and waits for them.
    ~UpdateCommand();
    UpdateCommand(const UpdateCommand&) = delete;
    UpdateCommand& operator=(const UpdateCommand&) = delete;

    // `reply` is called on the thread this is called on (the UI thread).
    void Run(const QStringList& args, std::vector<FirmwareIdEntry> rows, std::string serviceAddress,
             Reply reply);

private:
    struct Check {
        std::shared_ptr<std::atomic<bool>> done;
        std::jthread thread;  // last: joined before the flag goes
    };
    std::list<Check> m_checks;
};

}  // namespace kx520
