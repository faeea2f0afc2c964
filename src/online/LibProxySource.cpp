#include "online/LibProxySource.h"

#include <proxy.h>

namespace kx520::online {

std::vector<std::string> LibProxySource::ProxiesFor(const std::string& url) {
    std::vector<std::string> answers;
    pxProxyFactory* factory = px_proxy_factory_new();
    if (factory == nullptr) {
        return answers;
    }
    char** proxies = px_proxy_factory_get_proxies(factory, url.c_str());
    for (char** proxy = proxies; proxy != nullptr && *proxy != nullptr; ++proxy) {
        answers.emplace_back(*proxy);
    }
    px_proxy_factory_free_proxies(proxies);
    px_proxy_factory_free(factory);
    return answers;
}

}  // namespace kx520::online
