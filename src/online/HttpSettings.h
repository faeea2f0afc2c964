#pragma once

#include <string>

namespace kx520::online {

// What every request of a client uses. The first four are the service's
// own; the resolve and whole-transfer limits keep a silent name server or a
// trickling reply from holding the check for ever.
struct HttpSettings {
    std::string userAgent = "WinHTTP Client/1.0";
    long resolveMs = 10000;
    long connectMs = 60000;
    // A send or a receive that moves no byte for this long fails.
    long sendMs = 30000;
    long receiveMs = 30000;
    long transferMs = 120000;
    // Empty: the system's CA store.
    std::string caFile;
};

}  // namespace kx520::online
