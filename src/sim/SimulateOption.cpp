#include "sim/SimulateOption.h"

#include <algorithm>
#include <cstdlib>

#include "platform/CommandLine.h"
#include "sim/VirtualProducts.h"

namespace kx520::sim {

std::string VirtualProductList() {
    std::string list;
    for (std::string_view name : kVirtualProductNames) {
        if (!list.empty()) {
            list += ", ";
        }
        list += name;
    }
    return list;
}

std::optional<std::vector<std::string>> ParseSimulateList(std::string_view list,
                                                          std::string* error) {
    std::vector<std::string> products;
    auto addAll = [&products] {
        for (std::string_view name : kVirtualProductNames) {
            products.emplace_back(name);
        }
    };
    if (list.empty()) {
        addAll();
        return products;
    }
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string_view::npos) {
            end = list.size();
        }
        const std::string_view name = list.substr(start, end - start);
        if (name.empty()) {
            if (error != nullptr) {
                *error = "an empty name in the list of virtual devices '" + std::string(list) +
                         "'; valid names: all, " + VirtualProductList();
            }
            return std::nullopt;
        }
        if (name == "all") {
            products.clear();
            addAll();
            return products;
        }
        if (FindVirtualProduct(name) == nullptr) {
            if (error != nullptr) {
                *error = "unknown virtual device '" + std::string(name) +
                         "'; valid names: all, " + VirtualProductList();
            }
            return std::nullopt;
        }
        if (std::find(products.begin(), products.end(), name) == products.end()) {
            products.emplace_back(name);
        }
        start = end + 1;
    }
    return products;
}

std::optional<std::vector<std::string>> SimulatedProducts(const CommandLine& commandLine,
                                                          std::string* error) {
    if (const auto value = commandLine.Value("simulate")) {
        // "--simulate" alone is every product; "--simulate=" names none.
        if (value->empty() && commandLine.HasExplicitValue("simulate")) {
            if (error != nullptr) {
                *error = "--simulate= names no virtual device; valid names: all, " +
                         VirtualProductList();
            }
            return std::nullopt;
        }
        return ParseSimulateList(*value, error);
    }
    const char* variable = std::getenv("KX520_SIMULATE");
    if (variable == nullptr || *variable == '\0') {
        return std::vector<std::string>{};
    }
    return ParseSimulateList(variable, error);
}

}  // namespace kx520::sim
