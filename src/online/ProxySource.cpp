#include "online/ProxySource.h"

namespace kx520::online {

std::string FirstProxy(const std::vector<std::string>& answers) {
    for (const std::string& answer : answers) {
        if (answer.empty() || answer.starts_with("direct://")) {
            continue;
        }
        if (answer.starts_with("socks://")) {
            return "socks5://" + answer.substr(8);
        }
        return answer;
    }
    return {};
}

}  // namespace kx520::online
