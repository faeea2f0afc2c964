#pragma once

// What the mouse's program tests share: the commands a run sent, its
// start-up exchange, a run of the application on virtual devices and the
// mouse's profile file.
#include <json/json.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/AppProgram.h"
#include "catalog/PageKeyDefaults.h"
#include "support/TempDir.h"

namespace kx520::test {

// The commands sent to `product`, a block's packets as one, without the
// power queries that run beside the exchange.
std::vector<uint8_t> Commands(const std::string& trace, const std::string& product);

// From the first CMD_BEGIN on, up to the first configuration read.
std::vector<uint8_t> StartUp(const std::vector<uint8_t>& commands, bool receiver);

// The application on virtual devices (`arguments` after --simulate=) with
// a packet trace and a data folder of its own.
struct MouseRun {
    explicit MouseRun(const std::string& arguments);
    // Up, and through its start-up exchange with `product`.
    bool Started(const std::string& product);

    TempDir temp;
    std::string trace;
    std::string data;
    App app;
};

// The profile file of the mouse's first profile (under `dataHome`, else
// the tests' own data folder).
Json::Value MouseProfile(const std::string& dataHome = std::getenv("XDG_DATA_HOME"));

KeyCode TableKey(const std::vector<uint8_t>& table, size_t key);

}  // namespace kx520::test
