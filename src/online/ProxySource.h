#pragma once

#include <string>
#include <vector>

namespace kx520::online {

// Where the user's proxy for a URL comes from: the environment, the
// desktop's settings or a PAC script. Each answer is a proxy URL or
// "direct://", best first.
class ProxySource {
public:
    virtual ~ProxySource() = default;
    virtual std::vector<std::string> ProxiesFor(const std::string& url) = 0;
};

// The proxy to send through: the first answer that is not "direct://",
// in the spelling libcurl takes ("socks://" is SOCKS 5); "" for none.
std::string FirstProxy(const std::vector<std::string>& answers);

}  // namespace kx520::online
