#include "mouseui/MouseProgramSupport.h"

#include <algorithm>

#include "platform/SafeJson.h"
#include "protocol/CommandSet.h"
#include "support/TraceReader.h"

namespace kx520::test {

using namespace protocol;

std::vector<uint8_t> Commands(const std::string& trace, const std::string& product) {
    std::vector<uint8_t> commands;
    for (const auto& line : Requests(ReadTrace(trace))) {
        if (line.product != product || line.Command() == kCmdReadStatus || line.Command() == kCmdStreamLight) {
            continue;
        }
        if (commands.empty() || commands.back() != line.Command() || line.Offset() == 0) {
            commands.push_back(line.Command());
        }
    }
    return commands;
}

std::vector<uint8_t> StartUp(const std::vector<uint8_t>& commands, bool receiver) {
    auto begin = std::find(commands.begin(), commands.end(), kCmdBegin);
    if (receiver && begin != commands.begin()) {
        --begin;  // the probe before it
    }
    auto read = std::find(begin, commands.end(), kCmdReadConfig);
    return read == commands.end() ? std::vector<uint8_t>() : std::vector<uint8_t>(begin, read + 1);
}

MouseRun::MouseRun(const std::string& arguments)
    : trace(temp.Path() + "/trace"),
      data(temp.Path() + "/data"),
      app("--simulate=" + arguments,
          "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "' XDG_DATA_HOME='" + data + "'") {}

bool MouseRun::Started(const std::string& product) {
    return app.Ready() && WaitFor([&] { return !StartUp(Commands(trace, product), false).empty(); });
}

Json::Value MouseProfile(const std::string& dataHome) {
    const std::string folder = dataHome + "/KX520 PRO Keyboard/mouse/";
    const Json::Value list = json::ReadFile(folder + "ProfileList.ini").value_or(Json::Value());
    const std::string id = list["profilelist"][0]["profileUUID"].asString();
    return json::ReadFile(folder + id + ".Json").value_or(Json::Value());
}

KeyCode TableKey(const std::vector<uint8_t>& table, size_t key) {
    return {table[3 * key], table[3 * key + 1], table[3 * key + 2]};
}

}  // namespace kx520::test
