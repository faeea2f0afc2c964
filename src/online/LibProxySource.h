#pragma once

#include "online/ProxySource.h"

namespace kx520::online {

// The user's proxy as libproxy finds it (environment variables, GNOME or
// KDE settings, PAC and WPAD). A factory per call: libproxy's factories
// are not shared between threads, and the fallback is rare.
class LibProxySource : public ProxySource {
public:
    std::vector<std::string> ProxiesFor(const std::string& url) override;
};

}  // namespace kx520::online
